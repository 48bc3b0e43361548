// The "Font" and "Caret" pages of the style settings dialog.
#include <QComboBox>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHash>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>
#include <string>
#include <vector>

#include "dialogs/form_view_editor.h"
#include "dialogs/form_view_editor_util.h"
#include "dialogs/style_dialog_logic.h"
#include "dialogs/style_fields.h"
#include "qt/qt_graphics.h"

namespace yk {

using namespace style_dialog;

namespace {

constexpr int kMinListedSize = 8;
constexpr int kMaxListedSize = 50;

const char* const kScrollNames[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};

// The caret flags in the order of the page, each with its property. Here
// and on the other pages a table row is bound to a reference before its
// member is called: GCC's bounds sanitizer misreads "(obj.*table[i].get)()"
// on classes with virtual functions.
struct TCaretFlag {
  const char* name;
  bool (TEditorCaret::*get)() const;
  void (TEditorCaret::*set)(bool);
};
const TCaretFlag kCaretFlags[] = {
    {"AutoIndent", &TEditorCaret::AutoIndent, &TEditorCaret::SetAutoIndent},
    {"PrevSpaceIndent", &TEditorCaret::PrevSpaceIndent, &TEditorCaret::SetPrevSpaceIndent},
    {"FreeCaret", &TEditorCaret::FreeCaret, &TEditorCaret::SetFreeCaret},
    {"InTab", &TEditorCaret::InTab, &TEditorCaret::SetInTab},
    {"LockScroll", &TEditorCaret::LockScroll, &TEditorCaret::SetLockScroll},
    {"NextLine", &TEditorCaret::NextLine, &TEditorCaret::SetNextLine},
    {"TabIndent", &TEditorCaret::TabIndent, &TEditorCaret::SetTabIndent},
    {"SoftTab", &TEditorCaret::SoftTab, &TEditorCaret::SetSoftTab},
    {"KeepCaret", &TEditorCaret::KeepCaret, &TEditorCaret::SetKeepCaret},
    {"SelMove", &TEditorCaret::SelMove, &TEditorCaret::SetSelMove},
    {"RowSelect", &TEditorCaret::RowSelect, &TEditorCaret::SetRowSelect},
    {"AutoCursor", &TEditorCaret::AutoCursor, &TEditorCaret::SetAutoCursor},
};

struct TCursorChoice {
  const char* name;
  TCursor (TEditorCursors::*get)() const;
  void (TEditorCursors::*set)(TCursor);
};
const TCursorChoice kCursorChoices[] = {
    {"DefaultCursor", &TEditorCursors::DefaultCursor, &TEditorCursors::SetDefaultCursor},
    {"DragSelCursor", &TEditorCursors::DragSelCursor, &TEditorCursors::SetDragSelCursor},
    {"DragSelCopyCursor", &TEditorCursors::DragSelCopyCursor, &TEditorCursors::SetDragSelCopyCursor},
    {"InSelCursor", &TEditorCursors::InSelCursor, &TEditorCursors::SetInSelCursor},
    {"LeftMarginCursor", &TEditorCursors::LeftMarginCursor, &TEditorCursors::SetLeftMarginCursor},
};

QRadioButton* MakeRadio(QWidget* parent, const char* name) {
  auto* radio = new QRadioButton(QString::fromLatin1(name), parent);
  radio->setObjectName(QString::fromLatin1(name));
  return radio;
}

// Japanese fixed-pitch fonts are "dual width" (full-width glyphs two cells
// wide), which the font database does not call fixed pitch; for the editor
// they are, since every half-width glyph advances the same.
// Measuring takes a moment per family, so each is measured once.
bool IsFixedPitch(const QString& family) {
  static QHash<QString, bool> known;
  if (const auto it = known.constFind(family); it != known.constEnd()) return *it;
  bool fixed = QFontDatabase::isFixedPitch(family);
  if (!fixed) {
    QFont font(family);
    font.setPixelSize(16);
    const QFontMetrics metrics(font);
    const int advance = metrics.horizontalAdvance(QLatin1Char('i'));
    fixed = true;
    for (QChar c : QStringLiteral("Wm1."))
      if (metrics.horizontalAdvance(c) != advance) fixed = false;
  }
  known.insert(family, fixed);
  return fixed;
}

// The families a font name can be stored as: no vertical ("@") variants and
// none whose name has no CP932 form; fixed-pitch ones only unless asked.
QStringList OfferedFamilies(bool variablePitch) {
  QStringList result;
  for (const QString& family : QFontDatabase::families()) {
    if (family.startsWith(QLatin1Char('@')) || QFontDatabase::isPrivateFamily(family)) continue;
    if (!variablePitch && !IsFixedPitch(family)) continue;
    if (FromQString(family).replaced != 0) continue;
    result << family;
  }
  return result;
}

}  // namespace

// --- Font -----------------------------------------------------------------------------

QWidget* TFormViewEditor::BuildFontPage() {
  auto* page = new QWidget;
  font_list_ = new QListWidget(page);
  font_list_->setObjectName(QStringLiteral("ListBox1"));
  variable_pitch_box_ = MakeCheck(page, "CheckBox12", QStringLiteral("可変ピッチフォント"));
  size_list_ = new QListWidget(page);
  size_list_->setObjectName(QStringLiteral("ListBox2"));
  size_list_->setMaximumWidth(70);
  size_edit_ = new QLineEdit(page);
  size_edit_->setObjectName(QStringLiteral("Edit1"));
  size_edit_->setMaximumWidth(70);
  auto* bars = new QGroupBox(QStringLiteral(" ScrollBars "), page);
  bars->setObjectName(QStringLiteral("RadioGroup2"));
  auto* bars_layout = new QVBoxLayout(bars);
  for (int i = 0; i < 4; ++i) {
    scroll_bars_[static_cast<std::size_t>(i)] = MakeRadio(bars, kScrollNames[i]);
    bars_layout->addWidget(scroll_bars_[static_cast<std::size_t>(i)]);
    connect(scroll_bars_[static_cast<std::size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
      if (on && !loading_) prop_->SetScrollBars(static_cast<TScrollStyle>(i));
    });
  }
  bars_layout->addStretch();
  editor1_ = MakeSampleEditor(page, "Editor1", false);
  SetEditorLines(editor1_->Editor(), {"abcdefghijklmnopqrstuvwxyz", "ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                                      "\x82\xa2\x82\xeb\x82\xcd\x82\xc9\x82\xd9\x82\xd6\x82\xc6\x82\xbf"
                                      "\x82\xe8\x82\xca\x82\xe9\x82\xf0\x82\xe6",  // いろはにほへとちりぬるをよ
                                      "\x83\x43\x83\x8d\x83\x6e\x83\x6a\x83\x7a\x83\x77\x83\x67\x83\x60"
                                      "\x83\x8b\x83\x6b\x83\x8b\x83\x92\x83\x88"});  // イロハニホヘトチルヌルヲヨ

  connect(font_list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (loading_ || row < 0) return;
    prop_->Font().SetName(FromQString(font_list_->item(row)->text()).bytes);
  });
  connect(variable_pitch_box_, &QCheckBox::toggled, this, [this](bool on) {
    variable_pitch_ = on;
    FillFontList();
    SelectFontEntry(false);
  });
  connect(size_list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (loading_ || row < 0) return;
    size_edit_->setText(size_list_->item(row)->text());
  });
  connect(size_edit_, &QLineEdit::textChanged, this, [this](const QString& text) {
    if (!loading_) prop_->Font().SetSize(FontSizeFromText(text.toStdString()));
  });

  auto* sizes = new QVBoxLayout;
  sizes->addWidget(size_edit_);
  sizes->addWidget(size_list_);
  auto* fonts = new QVBoxLayout;
  fonts->addWidget(font_list_);
  fonts->addWidget(variable_pitch_box_);
  auto* top = new QHBoxLayout;
  top->addLayout(fonts, 3);
  top->addLayout(sizes, 1);
  top->addWidget(bars, 1);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top, 3);
  layout->addWidget(editor1_, 2);
  return page;
}

void TFormViewEditor::LoadFontControls() {
  const TScrollStyle bars = prop_->ScrollBars();
  for (std::size_t i = 0; i < scroll_bars_.size(); ++i) scroll_bars_[i]->setChecked(i == bars);
  size_edit_->setText(QString::number(prop_->Font().Size()));
}

void TFormViewEditor::FillFontList() {
  ++loading_;
  font_list_->clear();
  font_list_->addItems(OfferedFamilies(variable_pitch_));
  --loading_;
}

// Selects the working copy's font. A name that is not installed (the stored
// default "FixedSys" among them) shows the family it is drawn with and is
// kept, so pressing OK never rewrites a style's font behind the user's back.
// An installed family that is not offered is replaced by the first entry
// when replaceMissing is set (on opening).
void TFormViewEditor::SelectFontEntry(bool replaceMissing) {
  const std::string& stored = prop_->Font().Name();
  const QString name = ToQString(stored);
  auto find = [this](const QString& family) {
    const auto items = font_list_->findItems(family, Qt::MatchFixedString);
    return items.isEmpty() ? -1 : font_list_->row(items.front());
  };
  int row = find(name);
  const bool installed = QFontDatabase::families().contains(name, Qt::CaseInsensitive);
  if (row < 0 && !installed) row = find(ResolveFamily(stored));
  ++loading_;
  font_list_->setCurrentRow(row);
  --loading_;
  if (row >= 0 || !installed || !replaceMissing || font_list_->count() == 0) return;
  font_list_->setCurrentRow(0);
  prop_->Font().SetName(FromQString(font_list_->item(0)->text()).bytes);
}

void TFormViewEditor::FillSizeList() {
  ++loading_;
  size_list_->clear();
  for (int size = kMinListedSize; size <= kMaxListedSize; ++size) size_list_->addItem(QString::number(size));
  const int size = prop_->Font().Size();
  const bool listed = size >= kMinListedSize && size <= kMaxListedSize;
  size_list_->setCurrentRow(listed ? size - kMinListedSize : 0);
  --loading_;
  if (!listed) prop_->Font().SetSize(kMinListedSize);
  ++loading_;
  size_edit_->setText(QString::number(prop_->Font().Size()));
  --loading_;
}

// --- Caret ----------------------------------------------------------------------------

QWidget* TFormViewEditor::BuildCaretPage() {
  auto* page = new QWidget;
  auto* group = new QGroupBox(QStringLiteral(" TEditorCaret "), page);
  group->setObjectName(QStringLiteral("CaretGroup"));
  auto* flags = new QGridLayout;
  for (std::size_t i = 0; i < caret_flags_.size(); ++i) {
    const TCaretFlag& flag = kCaretFlags[i];
    caret_flags_[i] = MakeCheck(group, flag.name, QString::fromLatin1(flag.name));
    flags->addWidget(caret_flags_[i], static_cast<int>(i % 6), static_cast<int>(i / 6));
    connect(caret_flags_[i], &QCheckBox::toggled, this, [this, &flag](bool on) {
      if (loading_) return;
      (prop_->Caret().*flag.set)(on);
      CaretChanged();
    });
  }
  tab_space_count_ = new TUpDownSpin(group, TEditorCaret::kMinTabSpaceCount, TEditorCaret::kMaxTabSpaceCount, 2);
  tab_space_count_->setObjectName(QStringLiteral("TabSpaceCount"));
  connect(tab_space_count_, &QSpinBox::valueChanged, this, [this](int v) {
    if (loading_) return;
    prop_->Caret().SetTabSpaceCount(v);
    CaretChanged();
  });
  auto* tabs = new QFormLayout;
  tabs->addRow(QStringLiteral("TabSpaceCount"), tab_space_count_);

  auto* style = new QGroupBox(QStringLiteral(" TEditorCaretStyle "), group);
  style->setObjectName(QStringLiteral("CaretStyleGroup"));
  auto* style_layout = new QVBoxLayout(style);
  caret_style_ = {MakeRadio(style, "csDefault"), MakeRadio(style, "csBrief")};
  auto* drag = new QGroupBox(QStringLiteral(" SelDragMode "), group);
  drag->setObjectName(QStringLiteral("SelDragModeGroup"));
  auto* drag_layout = new QVBoxLayout(drag);
  drag_mode_ = {MakeRadio(drag, "dmManual"), MakeRadio(drag, "dmAutomatic")};
  for (int i = 0; i < 2; ++i) {
    style_layout->addWidget(caret_style_[static_cast<std::size_t>(i)]);
    drag_layout->addWidget(drag_mode_[static_cast<std::size_t>(i)]);
    connect(caret_style_[static_cast<std::size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
      if (!on || loading_) return;
      prop_->Caret().SetStyle(static_cast<TEditorCaretStyle>(i));
      CaretChanged();
    });
    connect(drag_mode_[static_cast<std::size_t>(i)], &QRadioButton::toggled, this, [this, i](bool on) {
      if (!on || loading_) return;
      prop_->Caret().SetSelDragMode(static_cast<TDragMode>(i));
      CaretChanged();
    });
  }
  QGroupBox* cursors = BuildCursorGroup(page);
  editor5_ = MakeSampleEditor(page, "Editor5", true);
  SetEditorLines(editor5_->Editor(),
                 {"  \x91\x49\x91\xf0\x97\xcc\x88\xe6\x82\xcc\x83\x7d\x83\x45\x83\x58",  // "  選択領域のマウス"
                  "\x83\x68\x83\x89\x83\x62\x83\x4f", "Drag&Drop"});                       // ドラッグ

  auto* radios = new QHBoxLayout;
  radios->addWidget(style);
  radios->addWidget(drag);
  auto* group_layout = new QVBoxLayout(group);
  group_layout->addLayout(flags);
  group_layout->addLayout(tabs);
  group_layout->addLayout(radios);
  group_layout->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(cursors);
  right->addWidget(editor5_, 1);
  auto* layout = new QHBoxLayout(page);
  layout->addWidget(group);
  layout->addLayout(right, 1);
  return page;
}

QGroupBox* TFormViewEditor::BuildCursorGroup(QWidget* page) {
  auto* group = new QGroupBox(QStringLiteral(" TEditorCursors "), page);
  group->setObjectName(QStringLiteral("CursorsGroup"));
  auto* form = new QFormLayout(group);
  for (std::size_t i = 0; i < cursors_.size(); ++i) {
    cursors_[i] = new QComboBox(group);
    cursors_[i]->setObjectName(QString::fromLatin1(kCursorChoices[i].name));
    form->addRow(QString::fromLatin1(kCursorChoices[i].name), cursors_[i]);
    const TCursorChoice& choice = kCursorChoices[i];
    connect(cursors_[i], &QComboBox::currentTextChanged, this, [this, &choice](const QString& text) {
      if (loading_) return;
      const std::optional<TCursor> cursor = IdentToCursor(text.toStdString());
      if (!cursor) return;
      (prop_->Caret().Cursors().*choice.set)(*cursor);
      CaretChanged();
    });
  }
  return group;
}

void TFormViewEditor::LoadCaretControls() {
  const TEditorCaret& caret = prop_->Caret();
  for (std::size_t i = 0; i < caret_flags_.size(); ++i) {
    const TCaretFlag& flag = kCaretFlags[i];
    caret_flags_[i]->setChecked((caret.*flag.get)());
  }
  tab_space_count_->setValue(caret.TabSpaceCount());
  caret_style_[caret.Style() == csBrief ? 1 : 0]->setChecked(true);
  drag_mode_[caret.SelDragMode() == dmAutomatic ? 1 : 0]->setChecked(true);
  if (prepared_) FillCursorLists();
}

// Every cursor name the editor knows, sorted, each list showing its
// cursor's name (nothing for an identifier without a name).
void TFormViewEditor::FillCursorLists() {
  std::vector<std::string> names;
  for (std::string_view n : CursorNames()) names.emplace_back(n);
  std::sort(names.begin(), names.end());
  ++loading_;
  for (std::size_t i = 0; i < cursors_.size(); ++i) {
    QComboBox* box = cursors_[i];
    box->clear();
    for (const std::string& n : names) box->addItem(QString::fromStdString(n));
    const TCursorChoice& choice = kCursorChoices[i];
    const std::optional<std::string_view> current = CursorToIdent((prop_->Caret().Cursors().*choice.get)());
    box->setCurrentIndex(current ? box->findText(QString::fromLatin1(current->data(), current->size())) : -1);
  }
  --loading_;
}

}  // namespace yk
