// TEditor editing scenarios: typing, Enter, Tab, Backspace, Delete, row
// deletion, read-only refusals and safety at the edges of the document.
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "editor_fixture.h"

namespace yk::test {
namespace {

using EditorEdit = EditorTest;

struct Scenario {
  const char* before;  // "|" marks the caret, "\n" a line end
  std::function<void(TEditor&)> action;
  const char* after;
};

void RunScenarios(EditorTest& t, std::initializer_list<Scenario> cases,
                  const std::function<void(TEditor&)>& setup = nullptr) {
  for (const Scenario& c : cases) {
    if (setup) setup(t.ed);
    t.Load(c.before);
    c.action(t.ed);
    EXPECT_EQ(t.Show(), c.after) << "from " << c.before;
  }
}

auto Type(std::string s) {
  return [s](TEditor& e) {
    for (char c : s) e.KeyChar(c);
  };
}
auto Keys(std::string s) {
  return [s](TEditor& e) { e.InsertText(s); };
}
void Enter(TEditor& e) { e.KeyChar('\r'); }
void Back(TEditor& e) { e.KeyChar('\b'); }
void Del(TEditor& e) { e.DeleteKey(); }

TEST_F(EditorEdit, Typing) {
  RunScenarios(*this, {
      {"ab|c", Type("xy"), "abxy|c"},
      {"|", Type("a"), "a|"},
      {"ab\n|", Type("z"), "ab\nz|"},
      {"a|\x82\xa0", Keys("\x82\xa2"), "a\x82\xa2|\x82\xa0"},  // aい|あ
  });
  // Beyond the end of a row the row is padded up to the caret.
  Load("abc");
  ed.SetCol(10);
  ed.KeyChar('x');
  EXPECT_EQ(Text(), "abc       x");
  EXPECT_EQ(ed.Col(), 11);
  Load("abc\tz\nnext");  // the tab makes column 10 byte 6
  ed.SetCol(12);
  ed.KeyChar('x');
  EXPECT_EQ(Text(), "abc\tz   x\nnext");
  EXPECT_EQ(ed.Col(), 13);
}

TEST_F(EditorEdit, Overwrite) {
  RunScenarios(
      *this,
      {
          {"a|bcd", Type("xy"), "axy|d"},
          {"ab|", Type("xy"), "abxy|"},
          {"|\x82\xa0z", Type("x"), "x| z"},        // half of あ is left as a space
          {"|a\x82\xa0z", Type("xy"), "xy| z"},     // the second character cuts あ
          {"|a\tb", Type("xy"), "xy|b"},            // a tab goes with its filler columns
      },
      [](TEditor& e) { e.SetOverwrite(true); });
  ed.SetOverwrite(false);
}

TEST_F(EditorEdit, OverwriteReachesIntoTheNextRowOfAWrappedLine) {
  ed.WrapOption().SetWrapByte(20);
  ed.SetWordWrap(true);
  ed.SetOverwrite(true);
  Load(std::string(19, 'a') + "|" + std::string(10, 'b'));  // rows of 20 and 9
  ed.InsertText("xyz");
  EXPECT_EQ(Text(), std::string(19, 'a') + "xyz" + std::string(7, 'b'));
  ed.SetOverwrite(false);
}

TEST_F(EditorEdit, Enter) {
  RunScenarios(*this, {
      {"ab|cd", Enter, "ab\n|cd"},
      {"abcd|", Enter, "abcd\n|"},
      {"ab\n|", Enter, "ab\n\n|"},
      {"|", Enter, "\n|"},
      {"  ab|cd\n", Enter, "  ab\n  |cd\n"},
      {"\x81\x40x|y", Enter, "\x81\x40x\n  |y"},  // a full-width space counts two columns
      {" |  ab", Enter, " \n |  ab"},            // on the first row: no wider than the caret column
      {"\tab|", Enter, "\tab\n        |"},
  });
  ed.Caret().SetTabIndent(true);
  ed.Caret().SetTabSpaceCount(4);
  Load("      ab|");
  Enter(ed);
  EXPECT_EQ(Show(), "      ab\n\t  |");
  ed.Caret().SetTabIndent(false);
  ed.Caret().SetTabSpaceCount(8);

  ed.Caret().SetAutoIndent(false);
  Load("  ab|");
  Enter(ed);
  EXPECT_EQ(Show(), "  ab\n|");
  ed.Caret().SetAutoIndent(true);

  ed.Caret().SetPrevSpaceIndent(true);
  Load("    x\n\n|\n");
  Enter(ed);
  EXPECT_EQ(Show(), "    x\n\n\n    |\n");

  ed.SetOverwrite(true);
  Load("ab|c\nde");
  Enter(ed);
  EXPECT_EQ(Show(), "abc\n|de");
}

TEST_F(EditorEdit, Tab) {
  RunScenarios(*this, {
      {"ab|", [](TEditor& e) { e.KeyChar('\t'); }, "ab\t|"},
      {"ab|", [](TEditor& e) { e.KeyChar('\t', true); }, "ab|"},
  });
  ed.Caret().SetSoftTab(true);
  Load("ab|");
  ed.KeyChar('\t');
  EXPECT_EQ(Show(), "ab      |");
  ed.Caret().SetSoftTab(false);

  ed.SetOverwrite(true);
  Load("ab|cdefghijk");
  ed.KeyChar('\t');
  EXPECT_EQ(Text(), "abcdefghijk");
  EXPECT_EQ(ed.Col(), 8);
  ed.SetOverwrite(false);

  ed.SetWantTabs(false);
  Load("ab|");
  ed.KeyChar('\t');
  EXPECT_EQ(Text(), "ab");
}

TEST_F(EditorEdit, BackspaceAndDelete) {
  RunScenarios(*this, {
      {"ab|c", Back, "a|c"},
      {"a\x82\xa0|b", Back, "a|b"},       // both bytes of あ
      {"a\t|b", Back, "a|b"},
      {"ab\n|cd", Back, "ab|cd"},
      {"ab\n|", Back, "ab|"},             // the empty row after the last line
      {"ab\n\n|", Back, "ab\n|"},
      {"|ab", Back, "|ab"},
      {"a|bc", Del, "a|c"},
      {"a|\x82\xa0" "b", Del, "a|b"},
      {"a|\tb", Del, "a|b"},
      {"ab|\ncd", Del, "ab|cd"},
      {"ab|\n", Del, "ab|"},              // a final line end is removed
      {"ab|", Del, "ab|"},                // nothing after a last line without line end
      {"ab\n|", Del, "ab\n|"},
  });
}

TEST_F(EditorEdit, BackspaceAndDeleteBeyondTheRowEnd) {
  Load("ab\ncd");
  ed.SetCol(5);
  Back(ed);
  EXPECT_EQ(ed.Col(), 4);
  EXPECT_EQ(Text(), "ab\ncd");
  Del(ed);  // joins the next row to the row padded up to the caret
  EXPECT_EQ(Text(), "ab  cd");
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(ed.Col(), 4);
}

TEST_F(EditorEdit, BackspaceOnAContinuationRowDeletesTheLastCharacterBefore) {
  ed.WrapOption().SetWrapByte(20);
  ed.SetWordWrap(true);
  Load(std::string(18, 'a') + "\x82\xa0" + "bbb");  // あ ends the first row
  ASSERT_EQ(ed.RowCount(), 2);
  ed.SetRowCol(1, 0);
  Back(ed);
  EXPECT_EQ(Text(), std::string(18, 'a') + "bbb");
  EXPECT_EQ(ed.LogicalColumn(ed.Row(), ed.Col()), 18);
}

// In a long line of single-byte text every break after an edit moves. A
// key's rows must reach the screen before the rest of the line is wrapped
// again, and when the key returns the rows must be those of a whole wrap.
TEST_F(EditorEdit, AKeyInALongSingleByteLineIsPaintedBeforeTheRestIsWrapped) {
  struct Case {
    const char* name;
    int col;
    std::function<void(TEditor&)> key;
    std::string inserted;  // replaces the byte at col when erases is set
    bool erases;
  } cases[] = {
      {"typed", 0, Type("x"), "x", false},
      {"input method", 3, Keys("\x82\xa0"), "\x82\xa0", false},  // あ
      {"Delete", 0, Del, "", true},
      {"Backspace", 1, Back, "", true},
  };
  struct Host : FakeHost {
    std::function<void()> painted;
    void UpdateNow() override {
      FakeHost::UpdateNow();
      if (painted) painted();
    }
  } paintHost;
  ed.SetHost(&paintHost);
  ed.WrapOption().SetWrapByte(20);
  ed.SetWordWrap(true);
  std::string line;
  for (int i = 0; line.size() < 20000; ++i) line += i % 7 ? "word " : "42; ";
  for (const Case& c : cases) {
    Load(line + "\nnext");
    ed.SetRowCol(0, c.col);
    std::vector<bool> pendingAtPaint;
    paintHost.painted = [&] { pendingAtPaint.push_back(ed.ScreenStrings().WrapPending()); };
    c.key(ed);
    paintHost.painted = nullptr;
    std::string expected = line;
    const std::size_t at = c.col - (c.name == std::string("Backspace") ? 1 : 0);
    expected.replace(at, c.erases ? 1 : 0, c.inserted);
    EXPECT_EQ(Text(), expected + "\nnext") << c.name;
    ASSERT_FALSE(pendingAtPaint.empty()) << c.name;
    EXPECT_TRUE(pendingAtPaint.front()) << c.name << ": the rest was wrapped before the key was painted";
    EXPECT_FALSE(ed.ScreenStrings().WrapPending()) << c.name;
    TEditor whole;
    whole.WrapOption().SetWrapByte(20);
    whole.SetWordWrap(true);
    whole.ScreenStrings().ReplaceRows(0, 0, Crlf(Text()));
    ASSERT_EQ(ed.RowCount(), whole.RowCount()) << c.name;
    for (int r = 0; r < ed.RowCount(); ++r)
      ASSERT_EQ(ed.ScreenStrings().Row(r), whole.ScreenStrings().Row(r)) << c.name << " row " << r;
    ed.ScreenStrings().Undo();
    EXPECT_EQ(Text(), line + "\nnext") << c.name;
  }
  ed.SetHost(&host);
}

// A window that runs the rest of the wrap later: the key's edit leaves it
// pending; the next key finishes it before reading the rows, so its edit
// lands where the caret is; tasks that outlive their editor do nothing.
TEST_F(EditorEdit, TheRestOfALongLineIsWrappedWhenTheWindowSays) {
  struct Host : FakeHost {
    std::vector<std::function<void()>> later;
    void RunAfterShown(std::function<void()> work) override { later.push_back(std::move(work)); }
    void RunAll() {
      for (auto& w : std::exchange(later, {})) w();
    }
  } lateHost;
  auto wrapped = [](TEditor& e) {
    e.WrapOption().SetWrapByte(20);
    e.SetWordWrap(true);
  };
  std::string line;
  for (int i = 0; line.size() < 20000; ++i) line += i % 7 ? "word " : "42; ";
  auto expectWholeWrap = [&](TEditor& e) {
    TEditor whole;
    wrapped(whole);
    whole.ScreenStrings().ReplaceRows(0, 0, Crlf(Text()));
    ASSERT_EQ(e.RowCount(), whole.RowCount());
    for (int r = 0; r < e.RowCount(); ++r) ASSERT_EQ(e.ScreenStrings().Row(r), whole.ScreenStrings().Row(r)) << r;
  };

  ed.SetHost(&lateHost);
  wrapped(ed);
  Load(line + "\nnext");
  ed.SetRowCol(0, 0);
  ed.KeyChar('x');
  EXPECT_TRUE(ed.ScreenStrings().WrapPending());
  ASSERT_EQ(lateHost.later.size(), 1u);
  ed.KeyChar('y');  // before the window ran the first task
  ed.SetRowCol(0, 7);
  ed.DeleteKey();
  EXPECT_EQ(Text(), "xy" + line.substr(0, 5) + line.substr(6) + "\nnext");
  lateHost.RunAll();
  EXPECT_FALSE(ed.ScreenStrings().WrapPending());
  expectWholeWrap(ed);
  while (ed.CanUndo()) ed.ScreenStrings().Undo();
  EXPECT_EQ(Text(), line + "\nnext");
  ed.SetHost(&host);

  {
    TEditor gone;
    gone.SetHost(&lateHost);
    wrapped(gone);
    gone.ScreenStrings().ReplaceRows(0, 0, line);
    gone.KeyChar('x');
    ASSERT_EQ(lateHost.later.size(), 1u);
  }
  lateHost.RunAll();
}

TEST_F(EditorEdit, DeleteRow) {
  Load("a\nb\nc");
  ed.DeleteRow(1);
  EXPECT_EQ(Show(), "a\n|c");
  ed.DeleteRow(1);
  EXPECT_EQ(Show(), "a\n|");
  ed.DeleteRow(7);
  EXPECT_EQ(Text(), "a\n");
  Load("a\nb");
  ed.DeleteRow(1);
  EXPECT_EQ(Show(), "a\n|");
}

TEST_F(EditorEdit, ReadOnlyRefusesUserEditsButNotThePrimitives) {
  const std::function<void(TEditor&)> refused[] = {
      Type("x"), Enter, Back, Del, [](TEditor& e) { e.KeyChar('\t'); },
      [](TEditor& e) { e.SetSelTextBuf("x"); }, [](TEditor& e) { e.PasteAsBox("x"); },
      [](TEditor& e) { e.PasteFromClipboard(); },
  };
  clip.SetText("pasted", false);
  for (const auto& action : refused) {
    ed.SetReadOnly(false);
    Load("ab|c\nd");
    ed.SetReadOnly(true);
    action(ed);
    EXPECT_EQ(Text(), "abc\nd");
  }
  ed.InsertText("x");
  EXPECT_EQ(Text(), "abxc\nd");
  ed.Undo();
  EXPECT_EQ(Text(), "abc\nd");
  ed.SelectAll();
  ed.CopyToClipboard();
  EXPECT_EQ(clip.text, "abc\r\nd");
  ed.SetReadOnly(false);
}

// Every operation on an empty document, on the row after the last line and
// with the caret far beyond a row end leaves a consistent document.
TEST_F(EditorEdit, EdgePositionsAreSafe) {
  const std::function<void(TEditor&)> actions[] = {
      Type("x"), Enter, Back, Del, [](TEditor& e) { e.KeyChar('\t'); },
      [](TEditor& e) { e.DeleteRow(e.Row()); }, [](TEditor& e) { e.SelectAll(); e.DeleteSelection(); },
      [](TEditor& e) { e.StartSelection(); e.SetRowCol(0, 0); e.ExtendSelection(); e.InsertText("y"); },
      [](TEditor& e) { e.SetSelectionMode(smBox); e.StartSelection(); e.SetCol(e.Col() + 3); e.ExtendSelection();
                       e.CutToClipboard(); e.PasteFromClipboard(); e.SetSelectionMode(smNormal); },
      [](TEditor& e) { e.PasteAsBox("p\nq"); }, [](TEditor& e) { e.SetSelLength(5); e.SetSelTextBuf("z"); },
      [](TEditor& e) { int r = e.Row(), c = e.Col(); e.NextWordPos(r, c, 1); e.NextWordPos(r, c, -1); },
      [](TEditor& e) { e.SelectTokenFromCaret(); },
      [](TEditor& e) { e.Undo(); e.Redo(); },
  };
  const char* docs[] = {"", "ab\ncd\n", "ab\x82"};  // the last ends in a lone lead byte
  for (const char* doc : docs) {
    for (int where = 0; where < 3; ++where) {
      for (const auto& action : actions) {
        Load(doc);
        if (where == 1) ed.SetRow(ed.RowCount());
        if (where == 2) ed.SetRowCol(ed.RowCount(), 500);
        action(ed);
        const std::string text = ed.Lines().GetTextStr();
        EXPECT_EQ(ed.TextLength(), static_cast<std::int64_t>(text.size()));
        EXPECT_LE(ed.Row(), ed.RowCount());
        for (int r = 0; r + 1 < ed.RowCount(); ++r) EXPECT_NE(ed.RowAttribute(r), raEof);
      }
    }
  }
}

}  // namespace
}  // namespace yk::test

namespace yk::test {
namespace {

// With word wrap, every edit re-wraps its line and the caret follows the
// text it was next to, across the row breaks.
TEST_F(EditorEdit, EditsInWrappedLinesKeepTheCaretWithTheText) {
  ed.WrapOption().SetWrapByte(20);
  ed.SetWordWrap(true);
  Load("");
  for (int i = 0; i < 25; ++i) ed.KeyChar(static_cast<char>('a' + i % 26));
  EXPECT_EQ(ed.RowCount(), 2);
  EXPECT_EQ(ed.Row(), 1);
  EXPECT_EQ(ed.Col(), 5);
  ed.SetRowCol(0, 0);
  ed.InsertText("\x82\xa0");  // あ pushes two letters onto the next row
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(ed.Col(), 2);
  ed.SetRowCol(1, 2);
  const int logical = ed.LogicalColumn(1, 2);
  ed.KeyChar('\r');
  EXPECT_EQ(ed.Lines().GetCount(), 2);
  EXPECT_EQ(ed.Lines().Get(1).size(), 27u - static_cast<std::size_t>(logical));
  EXPECT_EQ(ed.Col(), 0);
  ed.BackSpaceKey();
  EXPECT_EQ(ed.Lines().GetCount(), 1);
  EXPECT_EQ(ed.LogicalColumn(ed.Row(), ed.Col()), logical);
  ed.Undo();
  ed.Undo();
  EXPECT_EQ(ed.Lines().Get(0).size(), 27u);
}

}  // namespace
}  // namespace yk::test
