// The search commands: box texts and placement, the search step's scroll
// rule, Find next and previous, and every path of the replace loop.
#include "dialogs/search_session.h"

#include <gtest/gtest.h>

#include "dialogs/qt_text.h"
#include "platform/fakes.h"
#include "scripted_prompts.h"

using namespace yk;
using yk::test::FakeHost;
using yk::test::TScriptedPrompts;

namespace {

class SearchSessionTest : public ::testing::Test {
 public:
  SearchSessionTest() : session(prompts) {
    ed.SetHost(&host);
    session.CaretToScreen = [](TEditor&) { return QPoint(300, 400); };
    session.ScreenRect = [] { return QRect(0, 0, 1000, 800); };
    session.ConfirmBoxSize = [](const QString&) { return QSize(200, 100); };
    session.RunSearchDialog = [this](const TSearchDialogRequest& r) {
      requests.push_back(r);
      return dialog;
    };
    session.RunReplaceDialog = session.RunSearchDialog;
  }

  // "\n" stands for CR LF.
  void Load(std::string_view text) {
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ed.Lines().Clear();
    ed.ScreenStrings().ReplaceRows(0, 0, crlf);
    ed.ScreenStrings().UndoObj().Clear();
    ed.SetSelStart(0);
  }
  std::string Text() {
    std::string s = ed.Lines().GetTextStr();
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i)
      if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
    return out;
  }
  // "start,length" of the selection.
  std::string Sel() { return std::to_string(ed.SelStart()) + "," + std::to_string(ed.SelLength()); }
  void Replace(const std::string& what, const std::string& by, TSearchOptions flags) {
    session.SetDialogText(what);
    session.SetReplacement(by);
    session.SetFlags(flags);
    session.ReplaceLoop(ed);
  }

  FakeHost host;
  TEditor ed;
  TScriptedPrompts prompts;
  TSearchSession session;
  TSearchDialogResult dialog;
  std::vector<TSearchDialogRequest> requests;
};

TEST(SearchBoxes, TextsAndPlacement) {
  EXPECT_EQ(NotFoundText("abc"), QStringLiteral("検索文字列  'abc'\r\nが見つかりません。"));
  EXPECT_EQ(ReplaceConfirmText("\x82\xa0", "xy"),  // あ
            QStringLiteral(" あ   を\r\n xy   に 置き換えますか？"));
  const QRect screen(0, 0, 1000, 800);
  const QSize box(200, 100);
  // Above the caret's row when there is room, else below it.
  EXPECT_EQ(ConfirmBoxPos({300, 400}, 20, box, screen), QPoint(302, 280));
  EXPECT_EQ(ConfirmBoxPos({300, 100}, 20, box, screen), QPoint(302, 120));
  // Pulled left to stay 4 pixels inside the right edge.
  EXPECT_EQ(ConfirmBoxPos({900, 400}, 20, box, screen), QPoint(796, 280));
}

TEST_F(SearchSessionTest, FindNextAndPreviousWalkThroughMatches) {
  Load("abc abc\nxabc");
  session.SetCurrentText("abc");
  std::vector<std::string> seen;
  while (session.FindNext(ed)) seen.push_back(Sel());
  EXPECT_EQ(seen, (std::vector<std::string>{"0,3", "4,3", "10,3"}));
  // Not found: one box with the text, the selection stays.
  ASSERT_EQ(prompts.calls.size(), 1u);
  EXPECT_EQ(prompts.calls[0].kind, "info");
  EXPECT_EQ(prompts.calls[0].text, NotFoundText("abc"));
  EXPECT_EQ(Sel(), "10,3");
  EXPECT_TRUE(session.FindPrevious(ed));
  EXPECT_EQ(Sel(), "4,3");
  EXPECT_FALSE(session.Flags() & sfForward);
  EXPECT_TRUE(requests.empty());
}

TEST_F(SearchSessionTest, FindTakesTheSelectionAndEmptyTextOpensTheDialog) {
  Load("one abc two abc");
  ed.SetSelStart(4);
  ed.SetSelLength(3);
  dialog = {true, "two", "", sfForward};
  int changed = 0;
  session.OnSearchTextChanged = [&] { ++changed; };
  EXPECT_TRUE(session.Find(ed));
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].currentText, "abc");  // the selection was offered
  EXPECT_EQ(requests[0].editor, &ed);
  EXPECT_EQ(session.CurrentText(), "two");
  EXPECT_EQ(session.DialogText(), "two");
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(Sel(), "8,3");

  // F3 without a search text runs Find; a dialog that is not ok does nothing.
  session.SetCurrentText("");
  dialog = {};
  EXPECT_FALSE(session.FindNext(ed));
  EXPECT_EQ(requests.size(), 2u);
  EXPECT_EQ(Sel(), "8,3");
  EXPECT_EQ(changed, 1);
  EXPECT_TRUE(prompts.calls.empty());
}

TEST_F(SearchSessionTest, ScrollRule) {
  constexpr int kMatchRow = 150;
  std::string text;
  for (int i = 0; i < 300; ++i) text += (i == kMatchRow ? "hit" : "row") + std::string("\n");
  Load(text);
  const int v = ed.VisibleRows();
  ASSERT_GE(v, 20);
  session.SetDialogText("hit");
  session.SetFlags(sfForward);
  // The match's distance from the top row, and whether the view scrolls.
  const struct {
    int d;
    bool scrolls;
  } cases[] = {{0, true}, {v / 5 - 1, true}, {v / 5, false}, {v / 2, false},
               {4 * v / 5, false}, {4 * v / 5 + 1, true}, {v - 1, true}};
  for (const auto& c : cases) {
    // The caret just before the match, then the view: selecting the match
    // itself then needs no scroll to show it.
    ed.SetSelStart(ed.OffsetFromRowCol(0, kMatchRow - 1, 0));
    ed.SetTopRow(kMatchRow - c.d);
    ASSERT_TRUE(session.SearchStep(ed));
    EXPECT_EQ(ed.Row(), kMatchRow);
    EXPECT_EQ(ed.TopRow(), c.scrolls ? kMatchRow - v / 3 : kMatchRow - c.d) << "distance " << c.d << " of " << v;
  }
}

TEST_F(SearchSessionTest, ReplaceOneAndAll) {
  Load("a-b-a-c-a");
  Replace("a", "X", sfForward | sfReplace);  // OK: one occurrence
  EXPECT_EQ(Text(), "X-b-a-c-a");
  EXPECT_EQ(prompts.calls.size(), 0u);

  Replace("a", "YY", sfForward | sfReplaceAll);
  EXPECT_EQ(Text(), "X-b-YY-c-YY");
  ASSERT_EQ(prompts.calls.size(), 1u);  // then how many, once
  EXPECT_EQ(prompts.calls[0].text, ReplacedText(2));

  // Replace-all with no match: the box once, nothing changed.
  prompts.calls.clear();
  ed.SetSelStart(0);
  Replace("zz", "q", sfForward | sfReplaceAll);
  EXPECT_EQ(Text(), "X-b-YY-c-YY");
  EXPECT_EQ(prompts.Count("info"), 1);
}

// A replacement that holds the search text is never searched again: the
// loop ends in both directions.
TEST_F(SearchSessionTest, ReplacementHoldingTheSearchTextEnds) {
  for (const bool forward : {true, false}) {
    SCOPED_TRACE(forward ? "forward" : "backward");
    Load("a ba\nxa");
    if (!forward) ed.SetSelStart(8);
    Replace("a", "aa", (forward ? sfForward : 0) | sfReplaceAll);
    EXPECT_EQ(Text(), "aa baa\nxaa");
    // The same through "All" in the confirmation box.
    Load("a ba\nxa");
    if (!forward) ed.SetSelStart(8);
    prompts.answers = {TDialogAnswer::All};
    Replace("a", "aa", (forward ? sfForward : 0) | sfReplace | sfReplaceConfirm);
    EXPECT_EQ(Text(), "aa baa\nxaa");
    EXPECT_EQ(session.Flags() & (sfReplaceAll | sfReplaceConfirm), sfReplaceAll);
  }
}

TEST_F(SearchSessionTest, ConfirmationAnswers) {
  const TSearchOptions confirm = sfForward | sfReplace | sfReplaceConfirm;
  // No: nothing changes and the loop ends after one step.
  Load("a a a");
  prompts.answers = {TDialogAnswer::No};
  Replace("a", "b", confirm);
  EXPECT_EQ(Text(), "a a a");
  EXPECT_EQ(prompts.Count("question"), 1);
  EXPECT_EQ(Sel(), "0,1");
  // The box: its caption and text, every answer offered, placed at the caret.
  const TScriptedPrompts::TCall& q = prompts.calls[0];
  EXPECT_EQ(q.caption, kReplaceConfirmCaption);
  EXPECT_EQ(q.text, ReplaceConfirmText("a", "b"));
  EXPECT_EQ(q.buttons, AnswerBit(TDialogAnswer::Yes) | AnswerBit(TDialogAnswer::No) |
                           AnswerBit(TDialogAnswer::Cancel) | AnswerBit(TDialogAnswer::All));
  EXPECT_EQ(q.at, ConfirmBoxPos({300, 400}, ed.RowHeight(), {200, 100}, {0, 0, 1000, 800}));

  // No to every box of a replace-all: nothing changes, one box per match.
  prompts.calls.clear();
  ed.SetSelStart(0);
  prompts.answers = {TDialogAnswer::No, TDialogAnswer::No, TDialogAnswer::No};
  Replace("a", "b", confirm | sfReplaceAll);
  EXPECT_EQ(Text(), "a a a");
  EXPECT_EQ(prompts.Count("question"), 3);
  EXPECT_EQ(prompts.Count("info"), 1);

  // Yes replaces one; Cancel ends at once.
  ed.SetSelStart(0);
  prompts.answers = {TDialogAnswer::Yes};
  Replace("a", "b", confirm);
  EXPECT_EQ(Text(), "b a a");
  prompts.answers = {TDialogAnswer::Yes, TDialogAnswer::Cancel};
  Replace("a", "c", confirm | sfReplaceAll);
  EXPECT_EQ(Text(), "b c a");
  // All replaces this one and the rest without asking.
  ed.SetSelStart(0);
  prompts.calls.clear();
  prompts.answers = {TDialogAnswer::All};
  Replace(" ", "_", confirm);
  EXPECT_EQ(Text(), "b_c_a");
  EXPECT_EQ(prompts.Count("question"), 1);
}

TEST_F(SearchSessionTest, ReplaceCommandRunsTheDialogThenTheLoop) {
  Load("abc abc");
  dialog = {true, "abc", "\x82\xa0", sfForward | sfReplaceAll};  // あ
  session.Replace(ed);
  EXPECT_EQ(Text(), "\x82\xa0 \x82\xa0");
  EXPECT_EQ(session.Replacement(), "\x82\xa0");
  dialog = {false, "abc", "", sfForward | sfReplaceAll};
  session.Replace(ed);
  EXPECT_EQ(requests.size(), 2u);
  EXPECT_EQ(prompts.Count("info"), 1);
}

TEST_F(SearchSessionTest, ReadOnlyEditorEndsTheLoopUnchanged) {
  Load("a a");
  ed.SetReadOnly(true);
  Replace("a", "aa", sfForward | sfReplaceAll);
  EXPECT_EQ(Text(), "a a");
  EXPECT_EQ(prompts.Count("info"), 1);
}

}  // namespace
