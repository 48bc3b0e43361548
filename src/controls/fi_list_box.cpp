// The file list box: display-text rule, icons and owner drawing.
#include "controls/fi_list_box.h"

#include <QFileIconProvider>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>
#include <QStringDecoder>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyledItemDelegate>

#include <algorithm>
#include <stdexcept>
#include <sys/stat.h>

#include "controls/ui_font.h"
#include "platform/cp932_codec.h"

namespace yk {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;
// "ﾄﾞﾗｲﾌﾞ" in half-width katakana, as the name of a drive.
constexpr std::string_view kDriveWord = "\xc4\xde\xd7\xb2\xcc\xde";

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// "D:", "D:\" or "D:/": a Windows drive root, as lists brought from Windows
// may still hold.
bool IsDriveRoot(std::string_view path) {
  return (path.size() == 2 || (path.size() == 3 && (path[2] == '\\' || path[2] == '/'))) && IsAsciiLetter(path[0]) &&
         path[1] == ':';
}

// Only "/" separates: it is never part of a CP932 or UTF-8 multi-byte
// character, so the path can be cut byte by byte.
std::string_view NamePart(std::string_view path) {
  if (IsDriveRoot(path)) return {};
  const std::size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string DriveText(std::string_view path) {
  std::string_view drive = path.substr(0, 2);
  if (!IsDriveRoot(path)) {
    drive = path;
    while (drive.size() > 1 && drive.back() == '/') drive.remove_suffix(1);
  }
  return "(" + std::string(drive) + ") " + std::string(kDriveWord);
}

std::string_view WithoutExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return name;
  return name.substr(0, dot);
}

bool PathExists(const QByteArray& path) {
  struct stat st {};
  return ::stat(path.constData(), &st) == 0;
}

QIcon GenericFileIcon() {
  static QFileIconProvider provider;
  QIcon icon = provider.icon(QAbstractFileIconProvider::File);
  if (!icon.isNull()) return icon;
  // No style icon on this desktop: a plain page of our own.
  QPixmap page(16, 16);
  page.fill(Qt::transparent);
  QPainter p(&page);
  p.setPen(QColor(96, 96, 96));
  p.setBrush(Qt::white);
  p.drawRect(3, 1, 10, 14);
  return QIcon(page);
}

// The icon of a file type chosen by the name alone, for a path that does
// not exist: the MIME type by extension, its icon from the desktop theme.
QIcon IconByName(const QString& name) {
  static QMimeDatabase mime_db;
  const QMimeType mime = mime_db.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
  QIcon icon = QIcon::fromTheme(mime.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(mime.genericIconName());
  return icon.isNull() ? GenericFileIcon() : icon;
}

QByteArray ToBytes(std::string_view s) { return QByteArray(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

std::string FIListBoxText(std::string_view path, bool show_full_path, bool show_extention) {
  if (show_full_path || path.empty()) return std::string(path);
  const std::string_view name = NamePart(path);
  if (show_extention) return std::string(name);
  if (name.empty()) return DriveText(path);
  return std::string(WithoutExtension(name));
}

QString FileNameForScreen(std::string_view bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (!utf8.hasError()) return text;
  const std::u16string decoded = cp932::Decode(bytes);
  return QString::fromUtf16(decoded.data(), static_cast<qsizetype>(decoded.size()));
}

// Draws one item: the background, the icon at the left and the short name.
class TFIListBoxDelegate : public QStyledItemDelegate {
 public:
  explicit TFIListBoxDelegate(TFIListBox* box) : QStyledItemDelegate(box), box_(box) {}

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(option.rect.width(), TFIListBox::kItemHeight);
  }

  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const QRect r = option.rect;
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !box_->isEnabled()      ? QPalette::Disabled
                                       : box_->hasFocus()      ? QPalette::Active
                                                               : QPalette::Inactive;
    p->save();
    p->fillRect(r, option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base));
    QColor ink = option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
    if (!box_->isEnabled()) ink = option.palette.color(QPalette::Disabled, QPalette::WindowText);
    int text_left = r.left() + 4;
    if (box_->ShowIcon()) {
      const QIcon icon = box_->ItemIcon(index.row());
      if (!icon.isNull()) icon.paint(p, QRect(r.left() + 1, r.top(), 16, 16));
      text_left = r.left() + TFIListBox::kItemHeight + 4;
    }
    p->setPen(ink);
    p->setFont(box_->font());
    p->setClipRect(r);
    p->drawText(QRect(text_left, r.top() + 2, r.right() - text_left + 1, r.height() - 2),
                Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, box_->DisplayText(index.row()));
    p->restore();
    if ((option.state & QStyle::State_HasFocus) && box_->hasFocus()) DrawFocus(p, option);
  }

 private:
  void DrawFocus(QPainter* p, const QStyleOptionViewItem& option) const {
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.backgroundColor = option.palette.color(QPalette::Highlight);
    box_->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, p, box_);
  }

  TFIListBox* box_;
};

TFIListBox::TFIListBox(QWidget* parent) : QListWidget(parent) {
  setFont(JapaneseUiFont());
  setUniformItemSizes(true);
  setItemDelegate(new TFIListBoxDelegate(this));
  setSelectionMode(QAbstractItemView::SingleSelection);
}

std::string TFIListBox::Item(int index) const {
  if (index < 0 || index >= count()) throw std::out_of_range("TFIListBox: item index out of range");
  const QByteArray bytes = item(index)->data(kPathRole).toByteArray();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

std::vector<std::string> TFIListBox::Items() const {
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(count()));
  for (int i = 0; i < count(); ++i) paths.push_back(Item(i));
  return paths;
}

QListWidgetItem* TFIListBox::MakeItem(const std::string& path) const {
  auto* it = new QListWidgetItem(FileNameForScreen(FIListBoxText(path, show_full_path_, show_extention_)));
  it->setData(kPathRole, ToBytes(path));
  it->setToolTip(FileNameForScreen(path));
  return it;
}

void TFIListBox::SetItems(const std::vector<std::string>& paths) {
  ClearItems();
  for (const std::string& path : paths) addItem(MakeItem(path));
}

void TFIListBox::InsertItem(int index, const std::string& path) {
  insertItem(std::clamp(index, 0, count()), MakeItem(path));
}

void TFIListBox::DeleteItem(int index) {
  if (index < 0 || index >= count()) throw std::out_of_range("TFIListBox: item index out of range");
  icons_.remove(item(index)->data(kPathRole).toByteArray());
  delete takeItem(index);
}

void TFIListBox::ClearItems() {
  clear();
  icons_.clear();
}

int TFIListBox::IndexOf(std::string_view path) const {
  const QByteArray bytes = ToBytes(path);
  for (int i = 0; i < count(); ++i)
    if (item(i)->data(kPathRole).toByteArray() == bytes) return i;
  return -1;
}

void TFIListBox::SetShowFullPath(bool on) {
  if (on == show_full_path_) return;
  show_full_path_ = on;
  SwitchChanged();
}

void TFIListBox::SetShowExtention(bool on) {
  if (on == show_extention_) return;
  show_extention_ = on;
  SwitchChanged();
}

void TFIListBox::SetShowIcon(bool on) {
  if (on == show_icon_) return;
  show_icon_ = on;
  SwitchChanged();
}

void TFIListBox::SetShowUnexistFileIcon(bool on) {
  if (on == show_unexist_file_icon_) return;
  show_unexist_file_icon_ = on;
  icons_.clear();
  SwitchChanged();
}

void TFIListBox::SwitchChanged() {
  RefreshTexts();
  viewport()->update();
}

// The items' own texts follow the switches too, so keyboard search and
// accessibility read what the user sees.
void TFIListBox::RefreshTexts() {
  for (int i = 0; i < count(); ++i) item(i)->setText(DisplayText(i));
}

QString TFIListBox::DisplayText(int index) const {
  return FileNameForScreen(FIListBoxText(Item(index), show_full_path_, show_extention_));
}

QIcon TFIListBox::ItemIcon(int index) const {
  if (index < 0 || index >= count()) return {};
  const QByteArray path = item(index)->data(kPathRole).toByteArray();
  if (const auto found = icons_.constFind(path); found != icons_.constEnd()) return *found;
  QIcon icon;
  if (PathExists(path)) {
    static QFileIconProvider provider;
    icon = provider.icon(QFileInfo(QFile::decodeName(path)));
    if (icon.isNull()) icon = GenericFileIcon();
  } else if (show_unexist_file_icon_) {
    const std::string_view bytes(path.constData(), static_cast<std::size_t>(path.size()));
    icon = IconByName(FileNameForScreen(NamePart(bytes)));
  } else {
    return icon;  // not cached: the file may appear later
  }
  icons_.insert(path, icon);
  return icon;
}

}  // namespace yk
