// The main window's search and replace: the tool bar's search box, Find
// with the dialog, Find next and previous, the scroll rule, the "not found"
// box, and every path of the replace loop with its confirmation answers.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "dialogs/search_session.h"
#include "form_fixture.h"

namespace yk::test {
namespace {

constexpr auto kAll = TDialogAnswer::All;

// How a scripted dialog is filled besides its texts.
enum TFillOption : unsigned { foBackward = 1, foNoConfirm = 2, foMatchCase = 4 };

class SearchTest : public FormTest {
 protected:
  TMainForm& MakeWith(const std::string& text) {
    TMainForm& f = Make();
    Doc().Lines().SetTextStr(text);
    Doc().SetRowCol(0, 0);
    return f;
  }
  // The next dialog the prompts see gets these texts and options and is
  // closed with button; check sees it as it opened.
  void Fill(const QString& text, const QString& replacement = {}, const char* button = "OKBtn",
            unsigned options = 0, std::function<void(QDialog&)> check = {}) {
    prompts.Dialog([=](QDialog& d) {
      if (check) check(d);
      d.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setEditText(text);
      if (auto* box = d.findChild<QComboBox*>(QStringLiteral("ComboBox2"))) box->setEditText(replacement);
      if (auto* box = d.findChild<QCheckBox*>(QStringLiteral("chkReplaceConfirm")))
        box->setChecked(!(options & foNoConfirm));
      d.findChild<QCheckBox*>(QStringLiteral("chkMatchCase"))->setChecked(options & foMatchCase);
      d.findChild<QRadioButton*>(QLatin1String(options & foBackward ? "rbBackward" : "rbForward"))->setChecked(true);
      d.findChild<QPushButton*>(QLatin1String(button))->click();
      return d.result();
    });
  }
  // The next dialog is shown and typed into as a user does: each text
  // into its box through key events (Tab moves on), match case as given,
  // then the last key (Return: the default button) or a click on button.
  void TypeInto(std::vector<QString> texts, bool matchCase, const char* button = nullptr) {
    prompts.Dialog([=](QDialog& d) {
      d.show();
      d.activateWindow();
      QApplication::processEvents();
      d.findChild<QCheckBox*>(QStringLiteral("chkMatchCase"))->setChecked(matchCase);
      if (auto* box = d.findChild<QCheckBox*>(QStringLiteral("chkReplaceConfirm"))) box->setChecked(false);
      d.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->setFocus();
      for (const QString& text : texts) {
        QTest::keyClicks(QApplication::focusWidget(), text);
        if (&text != &texts.back()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      }
      if (button)
        QTest::mouseClick(d.findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
      else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
      d.hide();
      return d.result();
    });
  }
  void ExpectNotFound() { prompts.Expect(TKind::Information); }
  std::string Text() { return Doc().Lines().GetTextStr(); }
};

TEST_F(SearchTest, FindTakesTheSelectionAndTheSearchBoxFollowsTheDialog) {
  TMainForm& f = MakeWith("abc xyz abc");
  Doc().SetSelStart(0);
  Doc().SetSelLength(3);
  QString shown;
  Fill(QStringLiteral("abc"), {}, "OKBtn", 0,
       [&](QDialog& d) { shown = d.findChild<QComboBox*>(QStringLiteral("ComboBox1"))->currentText(); });
  EXPECT_TRUE(f.RunCommand("Find1"));
  EXPECT_EQ(shown, QStringLiteral("abc"));
  EXPECT_EQ(Doc().SelStart(), 8);
  EXPECT_EQ(Doc().SelLength(), 3);
  EXPECT_EQ(f.ComboBox1->currentText(), QStringLiteral("abc"));
  EXPECT_EQ(f.ComboBox1->count(), 1);
  EXPECT_EQ(Value("Hist", "list_Item0"), "abc");
  EXPECT_EQ(Value("Options", "MatchCase"), "0");
}

TEST_F(SearchTest, FindNextAndPreviousUseTheSearchBoxOrOpenTheDialog) {
  TMainForm& f = MakeWith("b1 b2 b3");
  // An empty box opens the dialog; Cancel ends the command.
  prompts.Dialog([](QDialog&) { return int(QDialog::Rejected); });
  EXPECT_TRUE(f.RunCommand("FindNext1"));
  EXPECT_EQ(prompts.Last().caption, QString::fromUtf8("検索"));

  f.ComboBox1->setEditText(QStringLiteral("b"));
  EXPECT_EQ(f.Search->CurrentText(), "b");
  for (int start : {0, 3, 6}) {
    EXPECT_TRUE(f.RunCommand("FindNext1"));
    EXPECT_EQ(Doc().SelStart(), start);
  }
  EXPECT_TRUE(f.RunCommand("FindPrev1"));
  EXPECT_EQ(Doc().SelStart(), 3);
  // Not found: the box, and the selection stays.
  ExpectNotFound();
  EXPECT_TRUE(f.RunCommand("FindPrev1"));  // from 3 back to 0
  EXPECT_TRUE(f.RunCommand("FindPrev1"));
  EXPECT_EQ(prompts.Last().text, QString::fromUtf8("検索文字列  'b'\r\nが見つかりません。"));
  EXPECT_EQ(Doc().SelStart(), 0);
  EXPECT_EQ(Doc().SelLength(), 1);
}

// The box shows Unicode on one line; the search keeps the selection's bytes.
TEST_F(SearchTest, ASelectionWithALineBreakIsSearchedAsItIs) {
  TMainForm& f = MakeWith("a\r\nb x a\r\nb");
  Doc().SetSelStart(0);
  Doc().SetSelLength(4);
  prompts.Dialog([](QDialog&) { return int(QDialog::Rejected); });
  EXPECT_TRUE(f.RunCommand("Find1"));
  EXPECT_EQ(f.Search->CurrentText(), "a\r\nb");
  EXPECT_TRUE(f.RunCommand("FindNext1"));
  EXPECT_EQ(Doc().SelStart(), 7);
  EXPECT_EQ(Doc().SelLength(), 4);
}

// The boxes of both dialogs keep the case of what was typed, whatever the
// histories hold, whether Enter or a button ends the dialog.
TEST_F(SearchTest, TypedTextsKeepTheirCase) {
  Spit(SettingsFile(), "[Hist]\r\nlist_ItemCount=1\r\nlist_Item0=abc\r\n"
                       "[RepHist]\r\nlist_ItemCount=1\r\nlist_Item0=xyz\r\n");
  TMainForm& f = MakeWith("abc ABC");
  TypeInto({QStringLiteral("ABC")}, true);
  EXPECT_TRUE(f.RunCommand("Find1"));
  EXPECT_EQ(Doc().SelStart(), 4);
  EXPECT_EQ(f.Search->CurrentText(), "ABC");

  Doc().SetRowCol(0, 0);
  TypeInto({QStringLiteral("ABC"), QStringLiteral("XYZ")}, true, "AllBtn");
  prompts.Expect(TKind::Information);
  EXPECT_TRUE(f.RunCommand("Replace1"));
  EXPECT_EQ(Text(), "abc XYZ\r\n");
  EXPECT_EQ(Value("RepHist", "list_Item0"), "XYZ");
  EXPECT_EQ(Value("RepHist", "list_Item1"), "xyz");
}

// Enter in the tool bar's search box finds the next match, once per key.
TEST_F(SearchTest, EnterInTheSearchBoxFindsNext) {
  TMainForm& f = MakeWith("b1 b2 b3");
  f.activateWindow();
  f.ComboBox1->setFocus();
  QTest::keyClicks(f.ComboBox1->lineEdit(), QStringLiteral("b"));
  for (int start : {0, 3, 6}) {
    QTest::keyClick(f.ComboBox1->lineEdit(), Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(Doc().SelStart(), start);
    EXPECT_EQ(Doc().SelLength(), 1);
  }
}

// The caret panel follows a match selected while the editor has no focus:
// from the tool bar's box, behind the replace question and behind the
// "not found" box.
TEST_F(SearchTest, TheCaretPanelFollowsMatchesFoundFromElsewhere) {
  TMainForm& f = MakeWith("a\r\nb\r\nc\r\nd\r\nneedle x\r\nneedle\r\n");
  ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
  const auto settle = [] {
    for (int i = 0; i < 3; ++i) QApplication::processEvents();
  };
  f.ComboBox1->setFocus();
  QTest::keyClicks(f.ComboBox1->lineEdit(), QStringLiteral("needle"));
  QTest::keyClick(f.ComboBox1->lineEdit(), Qt::Key_Return);
  settle();
  ASSERT_EQ(Doc().Row(), 4);
  EXPECT_TRUE(f.StatusText(0).startsWith(QStringLiteral("    5[5] "))) << f.StatusText(0).toStdString();
  QString shown;
  const auto look = [&] { shown = f.StatusText(0); };
  QTest::keyClick(f.ComboBox1->lineEdit(), Qt::Key_Return);  // to row 6, then...
  settle();
  prompts.ExpectWhile(TKind::Information, look);
  QTest::keyClick(f.ComboBox1->lineEdit(), Qt::Key_Return);  // ... not found
  settle();
  EXPECT_TRUE(shown.startsWith(QStringLiteral("    6[6] "))) << shown.toStdString();

  Doc().SetSelStart(0);
  Fill(QStringLiteral("needle"), QStringLiteral("pin"));
  prompts.AnswerWhile(kNo, look);
  EXPECT_TRUE(f.RunCommand("Replace1"));
  EXPECT_TRUE(shown.startsWith(QStringLiteral("    5[5] "))) << shown.toStdString();
}

TEST_F(SearchTest, AMatchNearTheBottomScrollsToAThirdDown) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += i == 200 ? "needle\r\n" : "hay\r\n";
  TMainForm& f = MakeWith(text);
  f.ComboBox1->setEditText(QStringLiteral("needle"));
  EXPECT_TRUE(f.RunCommand("FindNext1"));
  EXPECT_EQ(Doc().Row(), 200);
  EXPECT_EQ(Doc().TopRow(), 200 - Doc().VisibleRows() / 3);
}

TEST_F(SearchTest, OptionsChosenInOneDialogAreWhatTheOtherShows) {
  TMainForm& f = MakeWith("Ab ab");
  Fill(QStringLiteral("ab"), {}, "OKBtn", foMatchCase);
  EXPECT_TRUE(f.RunCommand("Find1"));
  EXPECT_EQ(Doc().SelStart(), 3);  // case matters
  EXPECT_EQ(Value("Options", "MatchCase"), "1");
  bool matchCase = false;
  Fill(QStringLiteral("zz"), {}, "CancelBtn", 0, [&](QDialog& d) {
    matchCase = d.findChild<QCheckBox*>(QStringLiteral("chkMatchCase"))->isChecked();
  });
  EXPECT_TRUE(f.RunCommand("Replace1"));
  EXPECT_TRUE(matchCase);
  EXPECT_EQ(Text(), "Ab ab\r\n");
}

TEST_F(SearchTest, ConfirmationAnswers) {
  struct {
    std::vector<TDialogAnswer> answers;
    bool notFound;  // the loop ends with the "not found" box
    std::string text;
  } const cases[] = {
      {{kNo}, false, "a a a\r\n"},
      {{kYes}, false, "X a a\r\n"},
      {{kCancel}, false, "a a a\r\n"},
      {{kAll}, true, "X X X\r\n"},
  };
  for (const auto& c : cases) {
    TMainForm& f = MakeWith("a a a");
    Fill(QStringLiteral("a"), QStringLiteral("X"));
    for (TDialogAnswer a : c.answers) prompts.Answer(a);
    if (c.notFound) ExpectNotFound();
    EXPECT_TRUE(f.RunCommand("Replace1"));
    EXPECT_EQ(Text(), c.text);
    EXPECT_EQ(prompts.Asked()[1].text, QString::fromUtf8(" a   を\r\n X   に 置き換えますか？"));
    EXPECT_TRUE(prompts.Done());
    prompts = {};
    form.reset();
  }
}

// A replacement holding the search text is never searched again, forward
// (replace-all) or backward (All in the box): the loop ends.
TEST_F(SearchTest, ReplacingByATextHoldingTheSearchTextEnds) {
  TMainForm& f = MakeWith("a b a b a");
  Fill(QStringLiteral("a"), QStringLiteral("aa"), "AllBtn", foNoConfirm);
  ExpectNotFound();
  EXPECT_TRUE(f.RunCommand("Replace1"));
  EXPECT_EQ(Text(), "aa b aa b aa\r\n");
  ASSERT_TRUE(prompts.Done());

  Doc().SetRowCol(0, 12);
  Fill(QStringLiteral("a"), QStringLiteral("aa"), "OKBtn", foBackward);
  prompts.Answer(kAll);
  ExpectNotFound();
  EXPECT_TRUE(f.RunCommand("Replace1"));
  EXPECT_EQ(Text(), "aaaa b aaaa b aaaa\r\n");
}

TEST_F(SearchTest, ReplaceAllWithoutAMatchChangesNothing) {
  TMainForm& f = MakeWith("abc");
  Fill(QStringLiteral("z"), QStringLiteral("y"), "AllBtn");
  ExpectNotFound();
  EXPECT_TRUE(f.RunCommand("Replace1"));
  EXPECT_EQ(Text(), "abc\r\n");
  EXPECT_FALSE(Doc().CanUndo());
  EXPECT_FALSE(Doc().Modified());
  EXPECT_EQ(Value("RepHist", "list_Item0"), "y");
}

// Replace-all is one undo step whatever the undo limit, and its undo puts
// back the selection the command started from. It ends by telling how many
// places it replaced; an empty replacement deletes the matches.
TEST_F(SearchTest, ReplaceAllIsOneStepAndTellsHowMany) {
  struct {
    const char* replacement;
    const char* button;
    std::vector<TDialogAnswer> answers;
    const char* message;
    int selLength;  // the selection from offset 1 (none: the caret at 0)
  } const cases[] = {
      {"xy", "AllBtn", {}, "200 箇所を置換しました。", 4},
      {"", "AllBtn", {}, "200 箇所を置換しました。", 4},
      {"xy", "AllBtn", {kYes, kNo, kAll}, "199 箇所を置換しました。", 0},
  };
  std::string text;
  for (int i = 0; i < 200; ++i) text += i % 3 == 0 ? "a-\r\n" : "-a-";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.replacement);
    TMainForm& f = MakeWith(text);
    const std::string original = Text();
    Doc().SetSelStart(c.selLength ? 1 : 0);
    Doc().SetSelLength(c.selLength);
    Fill(QStringLiteral("a"), QString::fromUtf8(c.replacement), c.button, c.answers.empty() ? unsigned{foNoConfirm} : 0u);
    for (TDialogAnswer a : c.answers) prompts.Answer(a);
    prompts.Expect(TKind::Information);
    EXPECT_TRUE(f.RunCommand("Replace1"));
    EXPECT_EQ(prompts.Last().text, QString::fromUtf8(c.message));
    std::string want;
    for (std::size_t i = 0, n = 0; i < original.size(); ++i) {
      const bool skip = original[i] == 'a' && !c.answers.empty() && n++ == 1;  // answered No
      want += original[i] == 'a' && !skip ? std::string(c.replacement) : std::string(1, original[i]);
    }
    EXPECT_EQ(Text(), want);
    QTest::keyClick(f.Memo1, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), original);
    EXPECT_FALSE(Doc().CanUndo());
    EXPECT_EQ(Doc().SelStart(), c.selLength ? 1 : 0);
    EXPECT_EQ(Doc().SelLength(), c.selLength);
    prompts = {};
    form.reset();
  }
}

TEST_F(SearchTest, ThePreviewIsNeverReplacedIn) {
  TMainForm& f = MakeWith("a");
  f.Memo2->Editor().Lines().SetTextStr("a");
  f.Memo2->Editor().MouseDown(mbLeft, 0, 0, 0);
  f.Memo2->Editor().MouseUp(mbLeft, 0, 0, 0);
  f.Memo2->Editor().CancelSelection();  // the click in the margin selected the row
  ASSERT_EQ(f.ActiveEditor, f.Memo2);
  EXPECT_TRUE(f.RunCommand("Replace1"));  // no dialog
  // Searching in it works.
  f.ComboBox1->setEditText(QStringLiteral("a"));
  EXPECT_TRUE(f.RunCommand("FindNext1"));
  EXPECT_EQ(f.Memo2->Editor().SelLength(), 1);
}

}  // namespace
}  // namespace yk::test
