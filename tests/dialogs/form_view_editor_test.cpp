// The style settings dialog driven through its real widgets: every page
// changes the working copy and its sample, and only OK hands the copy back.
#include "dialogs/form_view_editor.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QDir>
#include <QClipboard>
#include <QGuiApplication>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "dialogs/color_grid.h"
#include "dialogs/style_dialog_logic.h"
#include "dialogs/fake_prompts.h"
#include "qt/editor_widget.h"
#include "props/editor_prop_link.h"
#include "qt/qt_graphics.h"
#include "temp_dir.h"

namespace yk {
namespace {

// Check boxes and radio buttons take clicks on their box and caption only,
// which a wide one does not have at its middle.
void ClickButton(QAbstractButton* button) {
  const bool box = qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button);
  QTest::mouseClick(button, Qt::LeftButton, {}, box ? QPoint(6, button->height() / 2) : button->rect().center());
}

// Types text as one key press, as an input method hands in a character the
// test library has no key for.
void TypeText(QWidget* w, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
}

class FormViewEditorTest : public ::testing::Test {
 protected:
  FormViewEditorTest() {
    SetInitialStyle(prop);
    dialog.Open(prop);
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }
  template <typename T>
  T* Find(const char* name) {
    T* w = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  void ShowPage(TFormViewEditor::TPage page) {
    Find<QTabWidget>("PageControl1")->setCurrentIndex(page);
    QCoreApplication::processEvents();
  }
  TEditorProp& copy() { return dialog.EditorProp1(); }
  TEditor& Sample(const char* name) { return Find<TEditorWidget>(name)->Editor(); }
  void Click(const char* name) { ClickButton(Find<QAbstractButton>(name)); }
  void ClickCell(const char* grid, int cell, Qt::MouseButton button = Qt::LeftButton) {
    auto* g = Find<TColorGrid>(grid);
    QTest::mouseClick(g, button, {}, g->CellRect(cell).center());
  }
  void ChooseRow(const char* list, int row) {
    Find<QListWidget>(list)->setCurrentRow(row);
    QCoreApplication::processEvents();
  }
  // The share of the pixels inside r of a sample's picture that have the colour.
  double Share(const char* sample, QRect r, TColor color) {
    const QImage image = Find<TEditorWidget>(sample)->viewport()->grab().toImage();
    const QRgb want = ToQColor(color).rgb();
    int hits = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) hits += (image.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF);
    return double(hits) / (r.width() * r.height());
  }

  TEditorProp prop;
  test::TFakePrompts prompts;
  TFormViewEditor dialog{nullptr, prompts};
};

TEST_F(FormViewEditorTest, FontPageSetsNameSizeAndScrollBarsOfItsSample) {
  ShowPage(TFormViewEditor::pgFont);
  auto* fonts = Find<QListWidget>("ListBox1");
  const auto mono = fonts->findItems(QStringLiteral("DejaVu Sans Mono"), Qt::MatchExactly);
  ASSERT_EQ(mono.size(), 1);
  fonts->setCurrentItem(mono.front());
  EXPECT_EQ(copy().Font().Name(), "DejaVu Sans Mono");
  EXPECT_EQ(Sample("Editor1").Font().name, "DejaVu Sans Mono");

  auto* sizes = Find<QListWidget>("ListBox2");
  EXPECT_EQ(sizes->count(), 43);  // 8 to 50
  sizes->setCurrentItem(sizes->findItems(QStringLiteral("20"), Qt::MatchExactly).front());
  EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), QStringLiteral("20"));
  EXPECT_EQ(copy().Font().Size(), 20);
  EXPECT_EQ(Sample("Editor1").Font().height, copy().Font().Height());
  Find<QLineEdit>("Edit1")->setText(QStringLiteral("big"));
  EXPECT_EQ(copy().Font().Size(), 10);

  Click("ssNone");
  EXPECT_EQ(copy().ScrollBars(), ssNone);
  EXPECT_EQ(Sample("Editor1").ScrollBars(), ssNone);
  EXPECT_EQ(Find<TEditorWidget>("Editor1")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  Click("ssVertical");
  EXPECT_EQ(copy().ScrollBars(), ssVertical);
  EXPECT_EQ(Find<TEditorWidget>("Editor1")->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
  EXPECT_EQ(Find<TEditorWidget>("Editor1")->focusPolicy(), Qt::NoFocus);
}

// "FixedSys" is no installed family: the list shows what it is drawn with,
// and the stored name survives opening, other changes and OK.
TEST_F(FormViewEditorTest, FixedSysIsShownResolvedAndKeptThroughOk) {
  auto* fonts = Find<QListWidget>("ListBox1");
  ASSERT_NE(fonts->currentItem(), nullptr);
  EXPECT_EQ(fonts->currentItem()->text(), ResolveFamily("FixedSys"));
  EXPECT_EQ(copy().Font().Name(), "FixedSys");
  Click("CheckBox12");
  EXPECT_FALSE(fonts->findItems(QStringLiteral("DejaVu Sans"), Qt::MatchExactly).isEmpty());
  for (int i = 0; i < fonts->count(); ++i) EXPECT_FALSE(fonts->item(i)->text().startsWith(QLatin1Char('@')));
  Click("CheckBox12");
  EXPECT_TRUE(fonts->findItems(QStringLiteral("DejaVu Sans"), Qt::MatchExactly).isEmpty());
  EXPECT_FALSE(fonts->findItems(QStringLiteral("DejaVu Sans Mono"), Qt::MatchExactly).isEmpty());
  Click("OKButton");
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(prop.Font().Name(), "FixedSys");
}

TEST(FormViewEditorOpening, OfferedFontsAndSizesReplaceOthers) {
  TEditorProp prop;
  SetInitialStyle(prop);
  prop.Font().SetName("DejaVu Sans");  // installed, not fixed pitch
  prop.Font().SetSize(72);
  test::TFakePrompts prompts;
  TFormViewEditor dialog(nullptr, prompts);
  dialog.Open(prop);
  dialog.show();
  auto* fonts = dialog.findChild<QListWidget*>(QStringLiteral("ListBox1"));
  EXPECT_EQ(fonts->currentRow(), 0);
  EXPECT_EQ(ToQString(dialog.EditorProp1().Font().Name()), fonts->item(0)->text());
  EXPECT_EQ(dialog.EditorProp1().Font().Size(), 8);
  EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("8"));
  EXPECT_EQ(prop.Font().Name(), "DejaVu Sans");  // the caller's set waits for OK
}

TEST_F(FormViewEditorTest, CaretPageReachesTheCopyAndTheTrySample) {
  ShowPage(TFormViewEditor::pgCaret);
  struct Flag {
    const char* name;
    bool (TEditorCaret::*get)() const;
  } flags[] = {{"AutoIndent", &TEditorCaret::AutoIndent}, {"PrevSpaceIndent", &TEditorCaret::PrevSpaceIndent},
               {"FreeCaret", &TEditorCaret::FreeCaret},   {"InTab", &TEditorCaret::InTab},
               {"LockScroll", &TEditorCaret::LockScroll}, {"NextLine", &TEditorCaret::NextLine},
               {"TabIndent", &TEditorCaret::TabIndent},   {"SoftTab", &TEditorCaret::SoftTab},
               {"KeepCaret", &TEditorCaret::KeepCaret},   {"SelMove", &TEditorCaret::SelMove},
               {"RowSelect", &TEditorCaret::RowSelect},   {"AutoCursor", &TEditorCaret::AutoCursor}};
  for (const Flag& f : flags) {
    const bool before = (copy().Caret().*f.get)();
    EXPECT_EQ(Find<QCheckBox>(f.name)->isChecked(), before) << f.name;
    Click(f.name);
    EXPECT_NE((copy().Caret().*f.get)(), before) << f.name;
    EXPECT_EQ((Sample("Editor5").Caret().*f.get)(), !before) << f.name;
  }
  auto* tabs = Find<QSpinBox>("TabSpaceCount");
  tabs->stepUp();
  EXPECT_EQ(copy().Caret().TabSpaceCount(), 6);
  EXPECT_EQ(Sample("Editor5").Caret().TabSpaceCount(), 6);
  Click("csBrief");
  Click("dmManual");
  EXPECT_EQ(copy().Caret().Style(), csBrief);
  EXPECT_EQ(copy().Caret().SelDragMode(), dmManual);

  auto* cursor = Find<QComboBox>("DefaultCursor");
  EXPECT_EQ(cursor->currentText(), QStringLiteral("crIBeam"));
  for (int i = 1; i < cursor->count(); ++i) EXPECT_LT(cursor->itemText(i - 1), cursor->itemText(i));
  EXPECT_NE(cursor->findText(QStringLiteral("crRightArrow")), -1);
  cursor->setCurrentText(QStringLiteral("crHandPoint"));
  EXPECT_EQ(copy().Caret().Cursors().DefaultCursor(), crHandPoint);
  EXPECT_EQ(Sample("Editor5").Caret().Cursors().DefaultCursor(), crHandPoint);
  EXPECT_EQ(Sample("Editor5").SelStart(), 12);
  EXPECT_EQ(Sample("Editor5").SelLength(), 22);
  EXPECT_EQ(prop.Caret().TabSpaceCount(), 4);  // the caller's set waits for OK
}

// A style whose colours are system colours shows them as black text on
// white, and a click writes both, so the background becomes white too.
TEST_F(FormViewEditorTest, ElementColoursShowAndWriteBothChoices) {
  ShowPage(TFormViewEditor::pgView);
  auto* grid = Find<TColorGrid>("ColorGrid1");
  ChooseRow("ListBox3", 1);  // Ank: clWindowText on clWindow
  EXPECT_EQ(grid->ForegroundIndex(), 0);
  EXPECT_EQ(grid->BackgroundIndex(), 15);
  ClickCell("ColorGrid1", 9);  // red text
  EXPECT_EQ(copy().View().Colors().Ank().Color(), clRed);
  EXPECT_EQ(copy().View().Colors().Ank().BkColor(), clWhite);
  ClickCell("ColorGrid1", 11, Qt::RightButton);  // yellow background
  EXPECT_EQ(copy().View().Colors().Ank().BkColor(), clYellow);
  EXPECT_EQ(copy().View().Colors().Ank().Color(), clRed);
  EXPECT_EQ(Sample("Editor2").View().Colors().Ank().BkColor(), clYellow);

  ChooseRow("ListBox3", 0);  // the editor's own colour
  ClickCell("ColorGrid1", 6, Qt::RightButton);
  EXPECT_EQ(copy().Color(), clTeal);
  EXPECT_EQ(copy().Font().Color(), clBlack);
  TEditor& sample = Sample("Editor2");
  const int below = sample.Margin().Top() + 7 * sample.RowHeight();
  EXPECT_GT(Share("Editor2", QRect(sample.Margin().Left(), below, 40, 10), clTeal), 0.9);

  ChooseRow("ListBox3", 12);  // RetMark: text colour only
  EXPECT_FALSE(grid->BackgroundEnabled());
  EXPECT_FALSE(Find<QCheckBox>("ViewBold")->isEnabled());
  ClickCell("ColorGrid1", 12);
  ClickCell("ColorGrid1", 10, Qt::RightButton);
  EXPECT_EQ(copy().Marks().RetMark().Color(), clBlue);
  EXPECT_EQ(grid->BackgroundIndex(), 15);
  ChooseRow("ListBox3", 10);  // Select: both colours, no style
  EXPECT_TRUE(grid->BackgroundEnabled());
  EXPECT_FALSE(Find<QCheckBox>("ViewBold")->isEnabled());
  ChooseRow("ListBox3", 2);  // Comment
  EXPECT_TRUE(Find<QCheckBox>("ViewBold")->isEnabled());
  Click("ViewBold");
  Click("ViewItalic");
  EXPECT_EQ(copy().View().Colors().Comment().Style(), (TFontStyles{fsBold, fsItalic}));
  ChooseRow("ListBox3", 0);
  EXPECT_FALSE(Find<QCheckBox>("ViewBold")->isChecked());
  Click("ViewUnderline");
  EXPECT_EQ(copy().Font().Style(), TFontStyles{fsUnderline});
  EXPECT_EQ(Sample("Editor2").Font().style, TFontStyles{fsUnderline});
  EXPECT_EQ(Sample("Editor3").Font().style, TFontStyles{fsUnderline});
}

TEST_F(FormViewEditorTest, SelectionSampleFollowsTheSelectColours) {
  ShowPage(TFormViewEditor::pgView);
  TEditor& sample = Sample("Editor2");
  const QRect box(sample.Margin().Left(), sample.Margin().Top(), 8 * sample.ColWidth(), sample.FontHeight());
  EXPECT_GT(Share("Editor2", box, clNavy), 0.4);
  ChooseRow("ListBox3", 10);
  ClickCell("ColorGrid1", 13, Qt::RightButton);  // fuchsia
  EXPECT_EQ(copy().View().Colors().Select().BkColor(), clFuchsia);
  EXPECT_GT(Share("Editor2", box, clFuchsia), 0.4);
  EXPECT_EQ(Share("Editor2", box, clNavy), 0.0);
  // Only the box: the rest of the first row keeps the editor's background.
  const QRect after(box.right() + 2 * sample.ColWidth(), box.top(), sample.ColWidth(), box.height());
  EXPECT_EQ(Share("Editor2", after, clFuchsia), 0.0);
}

TEST_F(FormViewEditorTest, BulkButtonsAskFirstAndLeaveTheSelection) {
  ShowPage(TFormViewEditor::pgView);
  TEditorColors& colors = copy().View().Colors();
  colors.Ank().SetBkColor(clRed);
  copy().Font().SetStyle({fsBold});
  prompts.answer = TDialogAnswer::Cancel;
  Click("ViewSameBkColor");
  Click("ViewSameColor");
  Click("ViewSameStyle");
  ASSERT_EQ(prompts.questions.size(), 3u);
  EXPECT_EQ(prompts.questions[0], QStringLiteral("Change all BkColor to clWindow"));
  EXPECT_EQ(prompts.questions[1], QStringLiteral("Change all Color to clWindowText"));
  EXPECT_EQ(prompts.questions[2], QStringLiteral("Change all Style to [ fsBold ]"));
  EXPECT_EQ(prompts.last_buttons, AnswerBit(TDialogAnswer::Ok) | AnswerBit(TDialogAnswer::Cancel));
  EXPECT_EQ(colors.Ank().BkColor(), clRed);

  prompts.answer = TDialogAnswer::Ok;
  Click("ViewSameBkColor");
  Click("ViewSameStyle");
  for (const TEditorColor* c : {&colors.Ank(), &colors.Comment(), &colors.DBCS(), &colors.Int(), &colors.Mail(),
                                &colors.Str(), &colors.Symbol(), &colors.Reserve(), &colors.Url()}) {
    EXPECT_EQ(c->BkColor(), clWindow);
    EXPECT_EQ(c->Style(), TFontStyles{fsBold});
  }
  EXPECT_EQ(colors.Select().BkColor(), clNavy);
  EXPECT_EQ(colors.Select().Style(), TFontStyles{});
  EXPECT_EQ(Sample("Editor2").View().Colors().Url().BkColor(), clWindow);
}

TEST_F(FormViewEditorTest, ViewFieldsRewriteTheirSampleLines) {
  ShowPage(TFormViewEditor::pgView);
  TEditor& sample = Sample("Editor2");
  QTest::keyClicks(Find<QLineEdit>("HexPrefix"), QStringLiteral("0x"));
  EXPECT_EQ(copy().View().HexPrefix(), "0x");
  EXPECT_EQ(sample.RowText(1), "0123456789  0xAF");
  QTest::keyClicks(Find<QLineEdit>("Commenter"), QStringLiteral("//"));
  EXPECT_EQ(sample.RowText(2), "Editor1.View.Brackets[0]  // Commentline");
  EXPECT_EQ(sample.View().Commenter(), "//");
  QTest::keyClicks(Find<QLineEdit>("Quotation"), QStringLiteral("'"));
  EXPECT_EQ(sample.RowText(0), "\x91\x49\x91\xf0\x97\xcc\x88\xe6  'String'  #13#10");  // 選択領域  'String'  #13#10
  Click("ControlCode");
  Click("Url");
  EXPECT_TRUE(copy().View().ControlCode());
  EXPECT_FALSE(copy().View().Url());
  EXPECT_FALSE(sample.View().Url());

  Click("MarkUnderLine");
  Click("MarkEofMark");
  EXPECT_TRUE(copy().Marks().Underline().Visible());
  EXPECT_FALSE(sample.Marks().EofMark().Visible());
  Find<QSpinBox>("MarginTop")->stepUp();
  Find<QSpinBox>("MarginCharacter")->stepUp();
  EXPECT_EQ(copy().Margin().Top(), 3);
  EXPECT_EQ(sample.Margin().Top(), 3);
  EXPECT_EQ(Sample("Editor3").Margin().Character(), 1);
  EXPECT_TRUE(Find<QSpinBox>("MarginTop")->findChild<QLineEdit*>()->isReadOnly());
}

// The quotation is one byte: longer text is cut, and a double-byte first
// character is refused with the field keeping what it had.
TEST_F(FormViewEditorTest, QuotationHoldsOneSingleByteCharacter) {
  ShowPage(TFormViewEditor::pgView);
  auto* field = Find<QLineEdit>("Quotation");
  QTest::keyClicks(field, QStringLiteral("\"abc"));
  EXPECT_EQ(field->text(), QStringLiteral("\""));
  EXPECT_EQ(copy().View().Quotation(), "\"");
  field->selectAll();
  TypeText(field, QStringLiteral("あ"));
  EXPECT_EQ(field->text(), QStringLiteral("\""));
  EXPECT_EQ(copy().View().Quotation(), "\"");
  field->selectAll();
  TypeText(field, QStringLiteral("ｱ"));  // half-width kana: one byte
  EXPECT_EQ(copy().View().Quotation(), "\xb1");
  QTest::keyClick(field, Qt::Key_Backspace);
  EXPECT_EQ(copy().View().Quotation(), "");
  // Characters without a CP932 form never enter any field.
  TypeText(Find<QLineEdit>("Commenter"), QStringLiteral("#"));
  TypeText(Find<QLineEdit>("Commenter"), QStringLiteral("\u00e9"));
  EXPECT_EQ(copy().View().Commenter(), "#");
}

TEST_F(FormViewEditorTest, BracketPairsNewUpdateRemoveAndTheLimit) {
  ShowPage(TFormViewEditor::pgBrackets);
  TEditorBracketCollection& pairs = copy().View().Brackets();
  auto* list = Find<QListWidget>("ListBox4");
  auto* left = Find<QLineEdit>("Edit5");
  auto* right = Find<QLineEdit>("Edit6");
  auto* update = Find<QPushButton>("Update");
  EXPECT_EQ(list->currentRow(), 0);
  EXPECT_EQ(left->text(), QStringLiteral("/*"));
  left->setText(QStringLiteral("("));
  right->setText(QStringLiteral("("));
  EXPECT_FALSE(update->isEnabled());
  right->setText(QStringLiteral(")"));
  EXPECT_TRUE(update->isEnabled());
  Click("Update");
  EXPECT_EQ(pairs.Items(0).LeftBracket(), "(");
  EXPECT_EQ(pairs.Items(0).RightBracket(), ")");
  EXPECT_EQ(list->item(0)->text(), QStringLiteral("( )"));
  EXPECT_EQ(Sample("Editor3").RowText(0), "( Closed String )");
  EXPECT_EQ(Sample("Editor3").View().Brackets().Items(0).LeftBracket(), "(");

  for (int n = 2; n <= TEditorBracketCollection::kMaxCount; ++n) {
    Click("New");
    EXPECT_EQ(pairs.Count(), n);
    EXPECT_EQ(list->currentRow(), n - 1);
  }
  EXPECT_TRUE(left->text().isEmpty());
  EXPECT_FALSE(update->isEnabled());
  Click("New");
  EXPECT_EQ(pairs.Count(), TEditorBracketCollection::kMaxCount);
  ASSERT_EQ(prompts.errors.size(), 1u);
  EXPECT_EQ(prompts.errors[0], QStringLiteral("TEditorBracketCollection\nYou can not add item over 14"));

  list->setCurrentRow(5);
  Click("Remove");
  EXPECT_EQ(pairs.Count(), 13);
  EXPECT_EQ(list->currentRow(), 5);
  list->setCurrentRow(12);
  Click("Remove");
  EXPECT_EQ(list->currentRow(), 11);
  while (pairs.Count() > 0) Click("Remove");
  EXPECT_EQ(list->count(), 0);
  EXPECT_TRUE(Sample("Editor3").Lines().GetTextStr().empty());
  for (const char* name : {"Edit5", "Edit6", "Remove", "ColorGrid2", "BracketBold", "BracketSameBkColor",
                           "BracketSameColor", "BracketSameStyle"})
    EXPECT_FALSE(Find<QWidget>(name)->isEnabled()) << name;
  EXPECT_EQ(Find<TColorGrid>("ColorGrid2")->ForegroundIndex(), -1);
  Click("New");
  EXPECT_TRUE(Find<QWidget>("Edit5")->isEnabled());
  EXPECT_TRUE(Find<QWidget>("BracketSameColor")->isEnabled());
}

TEST_F(FormViewEditorTest, BracketColoursStylesAndBulkButtons) {
  ShowPage(TFormViewEditor::pgBrackets);
  TEditorBracketCollection& pairs = copy().View().Brackets();
  ClickCell("ColorGrid2", 9);
  EXPECT_EQ(pairs.Items(0).ItemColor().Color(), clRed);
  EXPECT_EQ(pairs.Items(0).ItemColor().BkColor(), clWhite);
  Click("BracketBold");
  EXPECT_EQ(pairs.Items(0).ItemColor().Style(), TFontStyles{fsBold});
  EXPECT_EQ(Sample("Editor3").View().Brackets().Items(0).ItemColor(), pairs.Items(0).ItemColor());

  Click("New");
  prompts.answer = TDialogAnswer::Cancel;
  Click("BracketSameColor");
  EXPECT_EQ(pairs.Items(1).ItemColor().Color(), clWindowText);
  prompts.answer = TDialogAnswer::Ok;
  Click("BracketSameColor");
  Click("BracketSameBkColor");
  Click("BracketSameStyle");
  ASSERT_EQ(prompts.questions.size(), 4u);
  EXPECT_EQ(prompts.questions[1], QStringLiteral("Change all Color to clRed"));
  EXPECT_EQ(prompts.questions[2], QStringLiteral("Change all BkColor to clWhite"));
  EXPECT_EQ(prompts.questions[3], QStringLiteral("Change all Style to [ fsBold ]"));
  EXPECT_EQ(pairs.Items(1).ItemColor(), pairs.Items(0).ItemColor());
  EXPECT_EQ(Sample("Editor3").View().Brackets().Items(1).ItemColor().Color(), clRed);
  // The chosen pair is shown again after the view changed.
  EXPECT_EQ(Find<QListWidget>("ListBox4")->currentRow(), 1);
  EXPECT_TRUE(Find<QCheckBox>("BracketBold")->isChecked());
}

// A bad pair keeps the dialog open on the pair, and the caller's set as it was.
TEST_F(FormViewEditorTest, OkRefusesABadPairAndShowsIt) {
  ShowPage(TFormViewEditor::pgBrackets);
  Click("New");
  ShowPage(TFormViewEditor::pgFont);
  Click("OKButton");
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_EQ(dialog.CurrentPage(), TFormViewEditor::pgBrackets);
  EXPECT_EQ(Find<QListWidget>("ListBox4")->currentRow(), 1);
  EXPECT_TRUE(Find<QLineEdit>("Edit5")->hasFocus());
  ASSERT_EQ(prompts.errors.size(), 1u);
  EXPECT_EQ(prompts.errors[0], ToQString(kBracketPairError));
  EXPECT_EQ(prop.View().Brackets().Count(), 1);
  Find<QLineEdit>("Edit5")->setText(QStringLiteral("<"));
  Find<QLineEdit>("Edit6")->setText(QStringLiteral(">"));
  Click("Update");
  Click("OKButton");
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(prop.View().Brackets().Count(), 2);
  EXPECT_EQ(prop.View().Brackets().Items(1).RightBracket(), ">");
}

TEST_F(FormViewEditorTest, ReservedWordsLoadSaveAndOk) {
  ShowPage(TFormViewEditor::pgReserveWordList);
  test::TTempDir dir;
  const std::string words = "beta\r\nalpha\r\n\x97\x5c\x96\xf1\x8c\xea\r\nALPHA\r\n";  // beta alpha 予約語 ALPHA
  test::Spit(dir.File("in.txt"), words);
  TEditor& editor = Sample("Editor4");
  EXPECT_EQ(editor.RowText(0), "ymkk");
  prompts.open_name = QString::fromStdString(dir.File("in.txt"));
  Click("Load");
  EXPECT_EQ(editor.Lines().GetTextStr(), words);
  EXPECT_EQ(editor.Row(), 0);
  prompts.save_name = QString::fromStdString(dir.File("out.txt"));
  Click("Save");
  EXPECT_EQ(test::Slurp(dir.File("out.txt")), words);

  prompts.open_name = QString::fromStdString(dir.File("missing.txt"));
  Click("Load");
  EXPECT_EQ(prompts.errors.size(), 1u);
  EXPECT_EQ(editor.Lines().GetTextStr(), words);
  prompts.save_name = QString::fromStdString(dir.File("no/such/folder/out.txt"));
  Click("Save");
  EXPECT_EQ(prompts.errors.size(), 2u);
  prompts.open_name.reset();
  Click("Load");
  EXPECT_EQ(prompts.errors.size(), 2u);

  Click("OKButton");
  EXPECT_EQ(prop.ReserveWordList().Words(),
            (std::vector<std::string>{"alpha", "beta", "\x97\x5c\x96\xf1\x8c\xea"}));
}

TEST_F(FormViewEditorTest, WordEditorKeysAreItsMenus) {
  ShowPage(TFormViewEditor::pgReserveWordList);
  auto* widget = Find<TEditorWidget>("Editor4");
  TEditor& editor = widget->Editor();
  editor.SetLines({"one", "two", "three"});
  editor.SetRowCol(1, 0);
  widget->setFocus();
  QTest::keyClick(widget, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(editor.Lines().GetTextStr(), "one\r\nthree\r\n");
  QTest::keyClick(widget, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(editor.Lines().GetTextStr(), "one\r\ntwo\r\nthree\r\n");
  QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);  // redo
  EXPECT_EQ(editor.Lines().GetTextStr(), "one\r\nthree\r\n");
  // The editor's own box-mode key belongs to a menu this editor does not show.
  QTest::keyClick(widget, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(editor.SelectionMode(), smNormal);
}

TEST_F(FormViewEditorTest, WordEditorMenuEnablesByState) {
  ShowPage(TFormViewEditor::pgReserveWordList);
  auto* widget = Find<TEditorWidget>("Editor4");
  auto menu_states = [&] {
    emit widget->customContextMenuRequested(QPoint(5, 5));
    QMenu* menu = widget->findChild<QMenu*>();
    EXPECT_NE(menu, nullptr);
    QStringList states;
    for (QAction* a : menu->actions())
      states << a->text() + QLatin1Char(' ') + a->shortcut().toString() + (a->isEnabled() ? "+" : "-");
    delete menu;
    return states.join(QLatin1Char('|'));
  };
  QGuiApplication::clipboard()->clear();
  EXPECT_EQ(menu_states(),
            QStringLiteral("元に戻す Ctrl+Z-|やり直し Ctrl+A-|切り取り Ctrl+X-|コピー Ctrl+C-|貼り付け Ctrl+V-|"
                           "１行削除 Ctrl+Y+"));
  widget->Editor().SelectAll();
  widget->Editor().CopyToClipboard();
  widget->Editor().DeleteSelection();
  EXPECT_EQ(menu_states(),
            QStringLiteral("元に戻す Ctrl+Z+|やり直し Ctrl+A-|切り取り Ctrl+X-|コピー Ctrl+C-|貼り付け Ctrl+V+|"
                           "１行削除 Ctrl+Y+"));
}

// Tab moves through each page in the order of its controls.
TEST_F(FormViewEditorTest, TabOrderFollowsThePages) {
  const std::pair<TFormViewEditor::TPage, QStringList> cases[] = {
      {TFormViewEditor::pgFont,
       {"ListBox1", "CheckBox12", "ListBox2", "Edit1", "ssNone", "ssHorizontal", "ssVertical", "ssBoth"}},
      {TFormViewEditor::pgCaret,
       {"AutoIndent", "PrevSpaceIndent", "FreeCaret", "InTab", "LockScroll", "NextLine", "TabIndent", "SoftTab",
        "KeepCaret", "SelMove", "RowSelect", "AutoCursor", "TabSpaceCount", "csDefault", "csBrief", "dmManual",
        "dmAutomatic", "DefaultCursor", "DragSelCursor", "DragSelCopyCursor", "InSelCursor", "LeftMarginCursor",
        "Editor5"}},
      {TFormViewEditor::pgView,
       {"ListBox3", "ViewBold", "ViewItalic", "ViewUnderline", "ViewSameBkColor", "ViewSameColor", "ViewSameStyle",
        "MarkUnderLine", "MarkRetMark", "MarkEofMark", "ControlCode", "Url", "Mail", "HexPrefix", "Quotation",
        "Commenter", "MarginTop", "MarginLeft", "MarginLine", "MarginCharacter"}},
      {TFormViewEditor::pgBrackets,
       {"ListBox4", "Edit5", "Edit6", "New", "Remove", "Update", "BracketBold", "BracketItalic", "BracketUnderline",
        "BracketSameBkColor", "BracketSameColor", "BracketSameStyle"}},
      {TFormViewEditor::pgReserveWordList, {"Editor4", "Load", "Save"}},
      {TFormViewEditor::pgWordWrap,
       {"WordWrap", "FollowStr", "FollowStrDefault", "LeadStr", "LeadStrDefault", "PunctuationStr",
        "PunctuationStrDefault", "FollowPunctuation", "FollowRetMark", "Leading", "WordBreak", "WrapByte"}},
  };
  auto* pages = Find<QTabWidget>("PageControl1");
  for (const auto& [page, expected] : cases) {
    QWidget* root = pages->widget(page);
    QStringList order;
    for (QWidget* w = root->nextInFocusChain(); w != root; w = w->nextInFocusChain())
      if (root->isAncestorOf(w) && (w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty() &&
          !w->objectName().startsWith(QLatin1String("qt_")))
        order << w->objectName();
    EXPECT_EQ(order, expected) << page;
  }
}

TEST_F(FormViewEditorTest, WrapPageDefaultsAndOptions) {
  ShowPage(TFormViewEditor::pgWordWrap);
  TEditorWrapOption& wrap = copy().WrapOption();
  for (const char* name : {"FollowStr", "LeadStr", "PunctuationStr"}) {
    Find<QLineEdit>(name)->setText(QStringLiteral("x"));
    Click((std::string(name) + "Default").c_str());
  }
  // 、。，．・？！゛゜ヽヾゝゞ々ー）］｝」』!),.:;?]}｡｣､･ｰﾞﾟ
  EXPECT_EQ(wrap.FollowStr(),
            "\x81\x41\x81\x42\x81\x43\x81\x44\x81\x45\x81\x48\x81\x49\x81\x4a\x81\x4b\x81\x52\x81\x53\x81\x54\x81"
            "\x55\x81\x58\x81\x5b\x81\x6a\x81\x6e\x81\x70\x81\x76\x81\x78\x21\x29\x2c\x2e\x3a\x3b\x3f\x5d\x7d\xa1"
            "\xa3\xa4\xa5\xb0\xde\xdf");
  EXPECT_EQ(wrap.LeadStr(), "\x81\x69\x81\x6d\x81\x6f\x81\x75\x81\x77\x28\x5b\x7b\xa2");  // （［｛「『([{｢
  EXPECT_EQ(wrap.PunctuationStr(), "\x81\x41\x81\x42\x81\x43\x81\x44\x2c\x2e\xa1\xa4");    // 、。，．,.｡､
  QTest::keyClicks(Find<QLineEdit>("LeadStr"), QStringLiteral("<"));
  EXPECT_EQ(wrap.LeadStr().back(), '<');

  Click("WordWrap");
  EXPECT_FALSE(copy().WordWrap());
  for (const char* name : {"FollowPunctuation", "FollowRetMark", "Leading", "WordBreak"}) Click(name);
  EXPECT_TRUE(wrap.FollowPunctuation());
  EXPECT_FALSE(wrap.FollowRetMark());
  EXPECT_TRUE(wrap.Leading());
  EXPECT_TRUE(wrap.WordBreak());
  auto* bytes = Find<QSpinBox>("WrapByte");
  bytes->setValue(300);
  EXPECT_EQ(wrap.WrapByte(), 250);
  bytes->setValue(5);
  EXPECT_EQ(wrap.WrapByte(), 20);
}

TEST(FormViewEditorStart, FirstPageFollowsTheHint) {
  TEditorProp prop;
  TEditorBracketCollection brackets;
  TEditorCaret caret;
  TEditorWrapOption wrap;
  TEditorMargin margin;
  const std::pair<const TPersistent*, TFormViewEditor::TPage> cases[] = {
      {nullptr, TFormViewEditor::pgView},   {&brackets, TFormViewEditor::pgBrackets},
      {&caret, TFormViewEditor::pgCaret},   {&wrap, TFormViewEditor::pgWordWrap},
      {&margin, TFormViewEditor::pgView}};
  for (const auto& [hint, page] : cases) {
    TFormViewEditor dialog;
    dialog.Open(prop, hint);
    EXPECT_EQ(dialog.CurrentPage(), page);
  }
}

// The entry point on an editor: Cancel after many changes leaves it as it
// was; OK applies the copy, scroll bars included.
TEST(FormViewEditorEntry, OkAppliesToTheEditorAndCancelDoesNot) {
  TEditorWidget editor;
  TEditorProp initial;
  SetInitialStyle(initial);
  TEditorPropLink link(editor.Editor());
  initial.AssignTo(link);
  editor.SetScrollBars(initial.ScrollBars());
  test::TFakePrompts prompts;
  prompts.answer = TDialogAnswer::Ok;

  auto change_and_press = [](const char* button) {
    QTimer::singleShot(0, [button] {
      auto* dialog = qobject_cast<TFormViewEditor*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      for (const char* name : {"ssNone", "AutoIndent", "MarkUnderLine", "ViewSameColor", "WordWrap", "New"})
        ClickButton(dialog->findChild<QAbstractButton*>(QString::fromLatin1(name)));
      dialog->findChild<QLineEdit*>(QStringLiteral("Edit5"))->setText(QStringLiteral("["));
      dialog->findChild<QLineEdit*>(QStringLiteral("Edit6"))->setText(QStringLiteral("]"));
      ClickButton(dialog->findChild<QAbstractButton*>(QStringLiteral("Update")));
      ClickButton(dialog->findChild<QAbstractButton*>(QString::fromLatin1(button)));
    });
  };
  change_and_press("CancelButton");
  EXPECT_FALSE(ShowStyleDialog(nullptr, editor, nullptr, prompts));
  TEditorProp after;
  after.Assign(link);
  EXPECT_TRUE(after == initial);

  change_and_press("OKButton");
  EXPECT_TRUE(ShowStyleDialog(nullptr, editor, nullptr, prompts));
  after.Assign(link);
  EXPECT_EQ(after.ScrollBars(), ssNone);
  EXPECT_EQ(editor.verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
  EXPECT_FALSE(after.WordWrap());
  EXPECT_TRUE(after.Caret().AutoIndent());
  EXPECT_TRUE(after.Marks().Underline().Visible());
  EXPECT_EQ(after.View().Brackets().Count(), 2);
  EXPECT_EQ(after.View().Brackets().Items(1).LeftBracket(), "[");
  EXPECT_EQ(after.Font().Name(), "FixedSys");
  EXPECT_EQ(after.ReserveWordList().Words(), std::vector<std::string>{"ymkk"});
}

// Not a check: with YK_SCREENSHOT_DIR set, every page is saved as a PNG
// there for a look at the layout.
TEST_F(FormViewEditorTest, Screenshots) {
  const QString dir = qEnvironmentVariable("YK_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP();
  QDir().mkpath(dir);
  auto* pages = Find<QTabWidget>("PageControl1");
  for (int i = 0; i < pages->count(); ++i) {
    ShowPage(static_cast<TFormViewEditor::TPage>(i));
    const QString name = pages->tabText(i).replace(QLatin1Char(' '), QLatin1Char('_'));
    EXPECT_TRUE(dialog.grab().save(dir + QStringLiteral("/style_%1_%2.png").arg(i).arg(name)));
  }
}

}  // namespace
}  // namespace yk
