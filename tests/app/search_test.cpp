// The main window's search and replace: the tool bar's search box, Find
// with the dialog, Find next and previous, the scroll rule, the "not found"
// box, and every path of the replace loop with its confirmation answers.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

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
