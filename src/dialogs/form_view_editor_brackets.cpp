// The "Brackets" page of the style settings dialog: the bracket pairs with
// their texts, colours and styles, and the sample of every pair.
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "dialogs/color_grid.h"
#include "dialogs/form_view_editor.h"
#include "dialogs/form_view_editor_util.h"
#include "dialogs/style_dialog_logic.h"
#include "qt/qt_graphics.h"

namespace yk {

using namespace style_dialog;

namespace {

const TFontStyle kStyleFlags[] = {fsBold, fsItalic, fsUnderline};

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(QString::fromLatin1(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  return button;
}

}  // namespace

QWidget* TFormViewEditor::BuildBracketsPage() {
  auto* page = new QWidget;
  pair_list_ = new QListWidget(page);
  pair_list_->setObjectName(QStringLiteral("ListBox4"));
  pair_list_->setMaximumWidth(140);
  connect(pair_list_, &QListWidget::currentRowChanged, this, [this](int row) {
    if (!loading_) ShowPair(row);
  });
  left_edit_ = MakeField(page, "Edit5");
  right_edit_ = MakeField(page, "Edit6");
  connect(left_edit_, &QLineEdit::textChanged, this, &TFormViewEditor::UpdateUpdateButton);
  connect(right_edit_, &QLineEdit::textChanged, this, &TFormViewEditor::UpdateUpdateButton);
  new_button_ = MakeButton(page, "New", "New");
  remove_button_ = MakeButton(page, "Remove", "Remove");
  update_button_ = MakeButton(page, "Update", "Update");
  connect(new_button_, &QPushButton::clicked, this, &TFormViewEditor::NewPairClick);
  connect(remove_button_, &QPushButton::clicked, this, &TFormViewEditor::RemovePairClick);
  connect(update_button_, &QPushButton::clicked, this, &TFormViewEditor::UpdatePairClick);
  color_grid2_ = new TColorGrid(page);
  color_grid2_->setObjectName(QStringLiteral("ColorGrid2"));
  connect(color_grid2_, &TColorGrid::colorsChosen, this, &TFormViewEditor::PairColorsChosen);
  auto* style = new QGroupBox(QStringLiteral(" Style "), page);
  style->setObjectName(QStringLiteral("BracketStyleGroup"));
  auto* style_layout = new QVBoxLayout(style);
  const char* const style_names[] = {"BracketBold", "BracketItalic", "BracketUnderline"};
  const char* const style_captions[] = {"fsBold", "fsItalic", "fsUnderline"};
  for (std::size_t i = 0; i < pair_style_.size(); ++i) {
    pair_style_[i] = MakeCheck(style, style_names[i], QString::fromLatin1(style_captions[i]));
    style_layout->addWidget(pair_style_[i]);
    connect(pair_style_[i], &QCheckBox::clicked, this, &TFormViewEditor::PairStyleClicked);
  }
  bracket_same_ = {MakeButton(page, "BracketSameBkColor", "SameBkColor"),
                   MakeButton(page, "BracketSameColor", "SameColor"),
                   MakeButton(page, "BracketSameStyle", "SameStyle")};
  connect(bracket_same_[0], &QPushButton::clicked, this, &TFormViewEditor::BracketSameBkColorClick);
  connect(bracket_same_[1], &QPushButton::clicked, this, &TFormViewEditor::BracketSameColorClick);
  connect(bracket_same_[2], &QPushButton::clicked, this, &TFormViewEditor::BracketSameStyleClick);
  editor3_ = MakeSampleEditor(page, "Editor3", false);

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("LeftBracket"), left_edit_);
  fields->addRow(QStringLiteral("RightBracket"), right_edit_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new_button_);
  buttons->addWidget(remove_button_);
  buttons->addWidget(update_button_);
  auto* colors = new QHBoxLayout;
  colors->addWidget(color_grid2_);
  colors->addWidget(style);
  auto* same = new QVBoxLayout;
  for (QPushButton* b : bracket_same_) same->addWidget(b);
  same->addStretch();
  colors->addLayout(same);
  colors->addStretch();
  auto* edit = new QVBoxLayout;
  edit->addLayout(fields);
  edit->addLayout(buttons);
  edit->addLayout(colors);
  auto* top = new QHBoxLayout;
  top->addWidget(pair_list_);
  top->addLayout(edit);
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(top);
  layout->addWidget(editor3_, 1);
  EnablePairControls(false);
  return page;
}

// One line per pair in the list and in the sample; the chosen pair stays
// chosen and is shown again.
void TFormViewEditor::RebuildPairList() {
  const TEditorBracketCollection& pairs = prop_->View().Brackets();
  const int row = pair_list_->currentRow();
  std::vector<std::string> samples;
  ++loading_;
  pair_list_->clear();
  for (int i = 0; i < pairs.Count(); ++i) {
    const TEditorBracketItem& item = pairs.Items(i);
    pair_list_->addItem(ToQString(item.LeftBracket() + " " + item.RightBracket()));
    samples.push_back(item.LeftBracket() + " Closed String " + item.RightBracket());
  }
  const bool keep = row >= 0 && row < pairs.Count();
  if (keep) pair_list_->setCurrentRow(row);
  --loading_;
  SetEditorLines(editor3_->Editor(), samples);
  if (keep) ShowPair(row);
}

void TFormViewEditor::EnablePairControls(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(left_edit_), static_cast<QWidget*>(right_edit_),
                     static_cast<QWidget*>(remove_button_), static_cast<QWidget*>(color_grid2_)})
    w->setEnabled(on);
  for (QCheckBox* box : pair_style_) box->setEnabled(on);
}

void TFormViewEditor::ShowPair(int index) {
  const TEditorBracketCollection& pairs = prop_->View().Brackets();
  const bool on = index >= 0 && index < pairs.Count();
  EnablePairControls(on);
  ++loading_;
  if (on) {
    const TEditorBracketItem& item = pairs.Items(index);
    left_edit_->setText(ToQString(item.LeftBracket()));
    right_edit_->setText(ToQString(item.RightBracket()));
    color_grid2_->ShowColors(item.ItemColor().Color(), item.ItemColor().BkColor());
    for (std::size_t i = 0; i < pair_style_.size(); ++i)
      pair_style_[i]->setChecked(item.ItemColor().Style().Contains(kStyleFlags[i]));
  } else {
    left_edit_->clear();
    right_edit_->clear();
    color_grid2_->Clear();
    for (QCheckBox* box : pair_style_) box->setChecked(false);
  }
  --loading_;
  UpdateUpdateButton();
}

void TFormViewEditor::UpdateUpdateButton() {
  update_button_->setEnabled(BracketPairValid(FieldBytes(left_edit_), FieldBytes(right_edit_)));
}

void TFormViewEditor::NewPairClick() {
  try {
    prop_->View().Brackets().Add();
  } catch (const Exception& e) {
    ShowError(ToQString(e.what()));
    return;
  }
  const int last = prop_->View().Brackets().Count() - 1;
  {
    const QSignalBlocker block(pair_list_);
    pair_list_->setCurrentRow(last);
  }
  ShowPair(last);
}

void TFormViewEditor::RemovePairClick() {
  const int row = pair_list_->currentRow();
  TEditorBracketCollection& pairs = prop_->View().Brackets();
  if (row < 0 || row >= pairs.Count()) return;
  pairs.Delete(row);
  const int next = std::min(row, pairs.Count() - 1);
  {
    const QSignalBlocker block(pair_list_);
    pair_list_->setCurrentRow(next);
  }
  ShowPair(next);
}

void TFormViewEditor::UpdatePairClick() {
  const int row = pair_list_->currentRow();
  TEditorViewInfo& view = prop_->View();
  if (row < 0 || row >= view.Brackets().Count()) return;
  const std::string left = FieldBytes(left_edit_), right = FieldBytes(right_edit_);
  if (!BracketPairValid(left, right)) {
    ShowError(ToQString(kBracketPairError));
    return;
  }
  TUpdateScope update(view);
  view.Brackets().Items(row).SetLeftBracket(left);
  view.Brackets().Items(row).SetRightBracket(right);
}

// A pair's colour notifies nobody, so its change is made one change of the
// view, which refreshes the samples.
void TFormViewEditor::PairColorsChosen() {
  const int row = pair_list_->currentRow();
  TEditorViewInfo& view = prop_->View();
  if (row < 0 || row >= view.Brackets().Count()) return;
  TUpdateScope update(view);
  view.Brackets().Items(row).ItemColor().SetBkColor(color_grid2_->BackgroundColor());
  view.Brackets().Items(row).ItemColor().SetColor(color_grid2_->ForegroundColor());
}

void TFormViewEditor::PairStyleClicked() {
  const int row = pair_list_->currentRow();
  TEditorViewInfo& view = prop_->View();
  if (loading_ || row < 0 || row >= view.Brackets().Count()) return;
  TFontStyles style;
  for (std::size_t i = 0; i < pair_style_.size(); ++i)
    if (pair_style_[i]->isChecked()) style.Include(kStyleFlags[i]);
  TUpdateScope update(view);
  view.Brackets().Items(row).ItemColor().SetStyle(style);
}

void TFormViewEditor::BracketSameBkColorClick() {
  TEditorBracketCollection& pairs = prop_->View().Brackets();
  if (pairs.Count() == 0) return;
  const TColor c = pairs.Items(0).ItemColor().BkColor();
  if (Confirm(SameBkColorQuestion(c))) pairs.SameBkColor(c);
}

void TFormViewEditor::BracketSameColorClick() {
  TEditorBracketCollection& pairs = prop_->View().Brackets();
  if (pairs.Count() == 0) return;
  const TColor c = pairs.Items(0).ItemColor().Color();
  if (Confirm(SameColorQuestion(c))) pairs.SameColor(c);
}

void TFormViewEditor::BracketSameStyleClick() {
  TEditorBracketCollection& pairs = prop_->View().Brackets();
  if (pairs.Count() == 0) return;
  const TFontStyles s = pairs.Items(0).ItemColor().Style();
  if (Confirm(SameStyleQuestion(s))) pairs.SameStyle(s);
}

// Every pair must have two different, non-empty texts; the first that has
// not is shown with its left field focused.
bool TFormViewEditor::CheckPairs() {
  const TEditorBracketCollection& pairs = prop_->View().Brackets();
  for (int i = 0; i < pairs.Count(); ++i) {
    if (BracketPairValid(pairs.Items(i).LeftBracket(), pairs.Items(i).RightBracket())) continue;
    pages_->setCurrentIndex(pgBrackets);
    {
      const QSignalBlocker block(pair_list_);
      pair_list_->setCurrentRow(i);
    }
    ShowPair(i);
    left_edit_->setFocus();
    ShowError(ToQString(kBracketPairError));
    return false;
  }
  return true;
}

}  // namespace yk
