// The "View Marks Margin" page of the style settings dialog: token colours
// and styles, marks, view options, margins, and the sample with its
// selection box.
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "dialogs/color_grid.h"
#include "dialogs/form_view_editor.h"
#include "dialogs/form_view_editor_util.h"
#include "dialogs/style_dialog_logic.h"
#include "dialogs/style_fields.h"
#include "qt/qt_graphics.h"

namespace yk {

using namespace style_dialog;

namespace {

// The rows of the element list: the editor's own colour, the token
// entries, the selection and the three marks.
enum TElement {
  elColor, elAnk, elComment, elDBCS, elInt, elStr, elSymbol, elReserve, elUrl, elMail, elSelect,
  elEofMark, elRetMark, elUnderline,
};
const char* const kElementNames[] = {"Color", "Ank",    "Comment", "DBCS",    "Int",     "Str",     "Symbol",
                                     "Reserve", "Url",  "Mail",    "Select",  "EofMark", "RetMark", "Underline"};

TEditorColor* ElementColor(TEditorColors& c, int element) {
  switch (element) {
    case elAnk: return &c.Ank();
    case elComment: return &c.Comment();
    case elDBCS: return &c.DBCS();
    case elInt: return &c.Int();
    case elStr: return &c.Str();
    case elSymbol: return &c.Symbol();
    case elReserve: return &c.Reserve();
    case elUrl: return &c.Url();
    case elMail: return &c.Mail();
    case elSelect: return &c.Select();
    default: return nullptr;
  }
}

TEditorMark* ElementMark(TEditorMarks& m, int element) {
  switch (element) {
    case elEofMark: return &m.EofMark();
    case elRetMark: return &m.RetMark();
    case elUnderline: return &m.Underline();
    default: return nullptr;
  }
}

const char* const kStyleCaptions[] = {"fsBold", "fsItalic", "fsUnderline"};
const TFontStyle kStyleFlags[] = {fsBold, fsItalic, fsUnderline};

struct TMarginSpin {
  const char* name;
  const char* caption;
  int (TEditorMargin::*get)() const;
  void (TEditorMargin::*set)(int);
};
const TMarginSpin kMarginSpins[] = {
    {"MarginTop", "Top", &TEditorMargin::Top, &TEditorMargin::SetTop},
    {"MarginLeft", "Left", &TEditorMargin::Left, &TEditorMargin::SetLeft},
    {"MarginLine", "Line", &TEditorMargin::Line, &TEditorMargin::SetLine},
    {"MarginCharacter", "Character", &TEditorMargin::Character, &TEditorMargin::SetCharacter},
};

// The sample's lines; the first three carry the quotation, the
// hexadecimal prefix and the commenter.
std::string SampleLine(const TEditorViewInfo& view, int line) {
  switch (line) {
    case 0:
      return "\x91\x49\x91\xf0\x97\xcc\x88\xe6  " + view.Quotation() + "String" + view.Quotation() +  // 選択領域
             "  #13#10";
    case 1: return "0123456789  " + view.HexPrefix() + "AF";
    case 2: return "Editor1.View.Brackets[0]  " + view.Commenter() + " Commentline";
    case 3: return "http://www.example.com/";
    case 4: return "someone@example.com";
    default: return "\x91\x53\x8a\x70\x95\xb6\x8e\x9a Reserve \x97\x5c\x96\xf1\x8c\xea";  // 全角文字 Reserve 予約語
  }
}

constexpr int kSampleLines = 6;

}  // namespace

QWidget* TFormViewEditor::BuildViewPage() {
  auto* page = new QWidget;
  element_list_ = new QListWidget(page);
  element_list_->setObjectName(QStringLiteral("ListBox3"));
  for (const char* name : kElementNames) element_list_->addItem(QString::fromLatin1(name));
  element_list_->setMaximumWidth(110);
  connect(element_list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (row >= 0) ShowElement(row);
  });
  color_grid1_ = new TColorGrid(page);
  color_grid1_->setObjectName(QStringLiteral("ColorGrid1"));
  connect(color_grid1_, &TColorGrid::colorsChosen, this, &TFormViewEditor::ElementColorsChosen);
  auto* style = new QGroupBox(QStringLiteral(" Style "), page);
  style->setObjectName(QStringLiteral("ViewStyleGroup"));
  auto* style_layout = new QVBoxLayout(style);
  const char* const style_names[] = {"ViewBold", "ViewItalic", "ViewUnderline"};
  for (std::size_t i = 0; i < element_style_.size(); ++i) {
    element_style_[i] = MakeCheck(style, style_names[i], QString::fromLatin1(kStyleCaptions[i]));
    style_layout->addWidget(element_style_[i]);
    connect(element_style_[i], &QCheckBox::clicked, this, &TFormViewEditor::ElementStyleClicked);
  }
  const char* const same_names[] = {"ViewSameBkColor", "ViewSameColor", "ViewSameStyle"};
  const char* const same_captions[] = {"SameBkColor", "SameColor", "SameStyle"};
  auto* same_layout = new QVBoxLayout;
  for (std::size_t i = 0; i < view_same_.size(); ++i) {
    view_same_[i] = new QPushButton(QString::fromLatin1(same_captions[i]), page);
    view_same_[i]->setObjectName(QString::fromLatin1(same_names[i]));
    same_layout->addWidget(view_same_[i]);
  }
  connect(view_same_[0], &QPushButton::clicked, this, &TFormViewEditor::SameBkColorClick);
  connect(view_same_[1], &QPushButton::clicked, this, &TFormViewEditor::SameColorClick);
  connect(view_same_[2], &QPushButton::clicked, this, &TFormViewEditor::SameStyleClick);
  same_layout->addStretch();

  auto* marks = new QGroupBox(QStringLiteral(" TEditorMarks "), page);
  marks->setObjectName(QStringLiteral("MarksGroup"));
  auto* marks_layout = new QVBoxLayout(marks);
  const char* const mark_names[] = {"MarkUnderLine", "MarkRetMark", "MarkEofMark"};
  const char* const mark_captions[] = {"UnderLine", "RetMark", "EofMark"};
  const int mark_elements[] = {elUnderline, elRetMark, elEofMark};
  for (std::size_t i = 0; i < marks_.size(); ++i) {
    marks_[i] = MakeCheck(marks, mark_names[i], QString::fromLatin1(mark_captions[i]));
    marks_layout->addWidget(marks_[i]);
    const int element = mark_elements[i];
    connect(marks_[i], &QCheckBox::toggled, this, [this, element](bool on) {
      if (!loading_) ElementMark(prop_->Marks(), element)->SetVisible(on);
    });
  }
  QWidget* fields = BuildViewFields(page);
  QGroupBox* margin = BuildMarginGroup(page);
  editor2_ = MakeSampleEditor(page, "Editor2", false);
  editor2_->Editor().SetReserveWordList(TReserveWordList({"Reserve", "\x97\x5c\x96\xf1\x8c\xea"}));  // 予約語
  editor2_->Editor().OnDrawLine = [this](TEditor& ed, const TDrawLineInfo& info) { DrawSelectionSample(ed, info); };

  auto* top = new QHBoxLayout;
  top->addWidget(element_list_);
  auto* grid_column = new QVBoxLayout;
  grid_column->addWidget(color_grid1_);
  grid_column->addWidget(style);
  grid_column->addStretch();
  top->addLayout(grid_column);
  top->addLayout(same_layout);
  auto* options = new QVBoxLayout;
  options->addWidget(marks);
  options->addWidget(fields);
  top->addLayout(options);
  top->addWidget(margin);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top);
  layout->addWidget(editor2_, 1);
  return page;
}

QWidget* TFormViewEditor::BuildViewFields(QWidget* page) {
  auto* box = new QWidget(page);
  auto* checks = new QHBoxLayout;
  const char* const names[] = {"ControlCode", "Url", "Mail"};
  const char* const captions[] = {"ControlCode(#)", "Url", "Mail"};
  void (TEditorViewInfo::*setters[])(bool) = {&TEditorViewInfo::SetControlCode, &TEditorViewInfo::SetUrl,
                                              &TEditorViewInfo::SetMail};
  for (std::size_t i = 0; i < view_flags_.size(); ++i) {
    view_flags_[i] = MakeCheck(box, names[i], QString::fromLatin1(captions[i]));
    checks->addWidget(view_flags_[i]);
    connect(view_flags_[i], &QCheckBox::toggled, this, [this, set = setters[i]](bool on) {
      if (!loading_) (prop_->View().*set)(on);
    });
  }
  hex_prefix_ = MakeField(box, "HexPrefix");
  quotation_ = MakeField(box, "Quotation");
  quotation_->setValidator(new TQuotationValidator(quotation_));
  quotation_->setMaximumWidth(40);
  commenter_ = MakeField(box, "Commenter");
  connect(hex_prefix_, &QLineEdit::textChanged, this, [this] {
    if (loading_) return;
    prop_->View().SetHexPrefix(FieldBytes(hex_prefix_));
    RewriteSampleLine(1);
  });
  connect(quotation_, &QLineEdit::textChanged, this, [this] {
    if (loading_) return;
    prop_->View().SetQuotation(FieldBytes(quotation_));
    RewriteSampleLine(0);
  });
  connect(commenter_, &QLineEdit::textChanged, this, [this] {
    if (loading_) return;
    prop_->View().SetCommenter(FieldBytes(commenter_));
    RewriteSampleLine(2);
  });
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("HexPrefix"), hex_prefix_);
  form->addRow(QStringLiteral("Quotation"), quotation_);
  form->addRow(QStringLiteral("Commenter"), commenter_);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(checks);
  layout->addLayout(form);
  return box;
}

QGroupBox* TFormViewEditor::BuildMarginGroup(QWidget* page) {
  auto* group = new QGroupBox(QStringLiteral(" TEditorMargin "), page);
  group->setObjectName(QStringLiteral("MarginGroup"));
  auto* form = new QFormLayout(group);
  for (std::size_t i = 0; i < margins_.size(); ++i) {
    margins_[i] = new TUpDownSpin(group, 0, 100);
    margins_[i]->setObjectName(QString::fromLatin1(kMarginSpins[i].name));
    form->addRow(QString::fromLatin1(kMarginSpins[i].caption), margins_[i]);
    const TMarginSpin& spin = kMarginSpins[i];
    connect(margins_[i], &QSpinBox::valueChanged, this, [this, &spin](int v) {
      if (!loading_) (prop_->Margin().*spin.set)(v);
    });
  }
  return group;
}

void TFormViewEditor::LoadViewControls() {
  const TEditorViewInfo& view = prop_->View();
  hex_prefix_->setText(ToQString(view.HexPrefix()));
  quotation_->setText(ToQString(view.Quotation()));
  commenter_->setText(ToQString(view.Commenter()));
  view_flags_[0]->setChecked(view.ControlCode());
  view_flags_[1]->setChecked(view.Url());
  view_flags_[2]->setChecked(view.Mail());
  TEditorMarks& marks = prop_->Marks();
  marks_[0]->setChecked(marks.Underline().Visible());
  marks_[1]->setChecked(marks.RetMark().Visible());
  marks_[2]->setChecked(marks.EofMark().Visible());
  for (std::size_t i = 0; i < margins_.size(); ++i) {
    const TMarginSpin& spin = kMarginSpins[i];
    margins_[i]->setValue((prop_->Margin().*spin.get)());
  }
  std::vector<std::string> lines;
  for (int i = 0; i < kSampleLines; ++i) lines.push_back(SampleLine(view, i));
  SetEditorLines(editor2_->Editor(), lines);
}

void TFormViewEditor::RewriteSampleLine(int line) {
  editor2_->Editor().Lines().Put(line, SampleLine(prop_->View(), line));
  RefreshSelectionSample();
}

// --- the element list -----------------------------------------------------------------

void TFormViewEditor::ShowElement(int index) {
  TColor text = clBlack, back = clWhite;
  TFontStyles style;
  if (index == elColor) {
    text = prop_->Font().Color();
    back = prop_->Color();
    style = prop_->Font().Style();
  } else if (const TEditorColor* c = ElementColor(prop_->View().Colors(), index)) {
    text = c->Color();
    back = c->BkColor();
    style = c->Style();
  } else if (const TEditorMark* m = ElementMark(prop_->Marks(), index)) {
    text = m->Color();
  }
  ++loading_;
  color_grid1_->ShowColors(text, back);
  color_grid1_->SetBackgroundEnabled(index < elEofMark);
  for (std::size_t i = 0; i < element_style_.size(); ++i) {
    element_style_[i]->setChecked(style.Contains(kStyleFlags[i]));
    element_style_[i]->setEnabled(index < elSelect);
  }
  --loading_;
}

// Both chosen colours are written, so an entry whose background was a
// system colour takes the white the grid showed for it.
void TFormViewEditor::ElementColorsChosen() {
  const int index = element_list_->currentRow();
  const TColor text = color_grid1_->ForegroundColor(), back = color_grid1_->BackgroundColor();
  if (index == elColor) {
    prop_->SetColor(back);
    prop_->Font().SetColor(text);
  } else if (TEditorColor* c = ElementColor(prop_->View().Colors(), index)) {
    TUpdateScope update(prop_->View().Colors());
    c->SetBkColor(back);
    c->SetColor(text);
  } else if (TEditorMark* m = ElementMark(prop_->Marks(), index)) {
    m->SetColor(text);
  }
}

void TFormViewEditor::ElementStyleClicked() {
  if (loading_) return;
  TFontStyles style;
  for (std::size_t i = 0; i < element_style_.size(); ++i)
    if (element_style_[i]->isChecked()) style.Include(kStyleFlags[i]);
  const int index = element_list_->currentRow();
  if (index == elColor)
    prop_->Font().SetStyle(style);
  else if (TEditorColor* c = ElementColor(prop_->View().Colors(), index); c && index != elSelect)
    c->SetStyle(style);
}

// --- bulk buttons ---------------------------------------------------------------------

void TFormViewEditor::SameBkColorClick() {
  if (!Confirm(SameBkColorQuestion(prop_->Color()))) return;
  prop_->View().Colors().SameBkColor(prop_->Color());
  ShowElement(element_list_->currentRow());
}

void TFormViewEditor::SameColorClick() {
  if (!Confirm(SameColorQuestion(prop_->Font().Color()))) return;
  prop_->View().Colors().SameColor(prop_->Font().Color());
  ShowElement(element_list_->currentRow());
}

void TFormViewEditor::SameStyleClick() {
  if (!Confirm(SameStyleQuestion(prop_->Font().Style()))) return;
  prop_->View().Colors().SameStyle(prop_->Font().Style());
  ShowElement(element_list_->currentRow());
}

}  // namespace yk
