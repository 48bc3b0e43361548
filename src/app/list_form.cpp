// The word-list window: its list, the choice and the frameless sizing frame.
#include "app/list_form.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QListWidget>
#include <QPainter>
#include <QScreen>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

#include "controls/ui_font.h"
#include "platform/cp932_codec.h"

namespace yk {

namespace {

constexpr int kWordRole = Qt::UserRole + 1;

// Rows of exactly kItemHeight pixels with the word at the left.
class TWordDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(option.rect.width(), TListForm::kItemHeight);
  }
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = (option.state & QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    p->save();
    p->fillRect(option.rect, option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base));
    p->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    p->setClipRect(option.rect);
    p->drawText(option.rect.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                index.data(Qt::DisplayRole).toString());
    p->restore();
  }
};

QString FromCp932(const std::string& bytes) {
  const std::u16string text = cp932::Decode(bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TListForm::TListForm(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("ListForm"));
  QFont font = JapaneseUiFont();
  font.setPixelSize(kItemHeight - 1);
  setFont(font);
  list_ = new QListWidget(this);
  list_->setObjectName(QStringLiteral("ListBox1"));
  list_->setUniformItemSizes(true);
  list_->setItemDelegate(new TWordDelegate(list_));
  list_->installEventFilter(this);
  connect(list_, &QListWidget::itemDoubleClicked, this, &TListForm::Choose);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(kFrame, kFrame, kFrame, kFrame);
  layout->addWidget(list_);
  setMouseTracking(true);
  setMinimumSize(40, 30);
  resize(154, 144);
}

void TListForm::SetItems(const std::vector<std::string>& words) {
  list_->clear();
  for (const std::string& word : words) {
    auto* item = new QListWidgetItem(FromCp932(word), list_);
    item->setData(kWordRole, QByteArray(word.data(), static_cast<qsizetype>(word.size())));
  }
}

std::vector<std::string> TListForm::Items() const {
  std::vector<std::string> words;
  for (int i = 0; i < list_->count(); ++i) {
    const QByteArray bytes = list_->item(i)->data(kWordRole).toByteArray();
    words.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  }
  return words;
}

void TListForm::PlaceAt(QPoint screen_point) {
  QRect frame(screen_point, size());
  if (const QScreen* screen = QGuiApplication::screenAt(screen_point)) {
    const QRect room = screen->availableGeometry();
    frame.moveRight(std::min(frame.right(), room.right()));
    frame.moveBottom(std::min(frame.bottom(), room.bottom()));
    frame.moveLeft(std::max(frame.left(), room.left()));
    frame.moveTop(std::max(frame.top(), room.top()));
  }
  move(frame.topLeft());
}

std::optional<std::string> TListForm::Execute() {
  chosen_.reset();
  list_->setFocus();
  exec();
  return chosen_;
}

// Nothing happens without a selected word: the window stays open.
void TListForm::Choose(QListWidgetItem* item) {
  if (!item || !item->isSelected()) return;
  const QByteArray bytes = item->data(kWordRole).toByteArray();
  chosen_ = std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
  if (OnChoose) OnChoose(*chosen_);
  accept();
}

bool TListForm::eventFilter(QObject* watched, QEvent* e) {
  if (watched == list_ && e->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(e)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      Choose(list_->currentItem());
      return true;
    }
    if (key == Qt::Key_Escape) {
      reject();
      return true;
    }
  }
  return QDialog::eventFilter(watched, e);
}

void TListForm::paintEvent(QPaintEvent*) {
  // A raised frame stands for the sizing border the window has no title for.
  QPainter p(this);
  const QPalette& pal = palette();
  p.fillRect(rect(), pal.color(QPalette::Button));
  p.setPen(pal.color(QPalette::Light));
  p.drawLine(0, 0, width() - 1, 0);
  p.drawLine(0, 0, 0, height() - 1);
  p.setPen(pal.color(QPalette::Shadow));
  p.drawLine(width() - 1, 0, width() - 1, height() - 1);
  p.drawLine(0, height() - 1, width() - 1, height() - 1);
}

Qt::Edges TListForm::EdgesAt(QPoint p) const {
  Qt::Edges edges;
  if (p.x() < kFrame) edges |= Qt::LeftEdge;
  if (p.x() >= width() - kFrame) edges |= Qt::RightEdge;
  if (p.y() < kFrame) edges |= Qt::TopEdge;
  if (p.y() >= height() - kFrame) edges |= Qt::BottomEdge;
  return edges;
}

namespace {

Qt::CursorShape CursorFor(Qt::Edges edges) {
  const bool h = edges & (Qt::LeftEdge | Qt::RightEdge);
  const bool v = edges & (Qt::TopEdge | Qt::BottomEdge);
  if (h && v) {
    const bool falling = ((edges & Qt::LeftEdge) && (edges & Qt::TopEdge)) ||
                         ((edges & Qt::RightEdge) && (edges & Qt::BottomEdge));
    return falling ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
  }
  if (h) return Qt::SizeHorCursor;
  if (v) return Qt::SizeVerCursor;
  return Qt::ArrowCursor;
}

}  // namespace

void TListForm::mousePressEvent(QMouseEvent* e) {
  const Qt::Edges edges = EdgesAt(e->position().toPoint());
  if (e->button() != Qt::LeftButton || !edges) return QDialog::mousePressEvent(e);
  if (windowHandle() && windowHandle()->startSystemResize(edges)) return;
  sizing_edges_ = edges;
  sizing_start_ = e->globalPosition().toPoint();
  sizing_geometry_ = geometry();
}

void TListForm::mouseMoveEvent(QMouseEvent* e) {
  if (sizing_edges_ && (e->buttons() & Qt::LeftButton)) {
    ResizeBy(e->globalPosition().toPoint() - sizing_start_);
    return;
  }
  setCursor(CursorFor(EdgesAt(e->position().toPoint())));
}

void TListForm::mouseReleaseEvent(QMouseEvent* e) {
  sizing_edges_ = {};
  QDialog::mouseReleaseEvent(e);
}

void TListForm::ResizeBy(QPoint delta) {
  QRect g = sizing_geometry_;
  const QSize least = minimumSize();
  if (sizing_edges_ & Qt::LeftEdge) g.setLeft(std::min(g.left() + delta.x(), g.right() - least.width() + 1));
  if (sizing_edges_ & Qt::RightEdge) g.setRight(std::max(g.right() + delta.x(), g.left() + least.width() - 1));
  if (sizing_edges_ & Qt::TopEdge) g.setTop(std::min(g.top() + delta.y(), g.bottom() - least.height() + 1));
  if (sizing_edges_ & Qt::BottomEdge) g.setBottom(std::max(g.bottom() + delta.y(), g.top() + least.height() - 1));
  setGeometry(g);
}

}  // namespace yk
