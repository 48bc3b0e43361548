// Undo and redo through the row list, with the caret each step restores.
#include "text/undo.h"

#include <gtest/gtest.h>

#include "fake_editor.h"

using namespace yk;
using yk::test::Dump;
using yk::test::FakeEditor;

namespace {

// Types s one character at a time at the end of row 0, as an editor would.
void Type(FakeEditor& ed, const std::string& s) {
  for (char c : s) {
    std::string row(ed.Rows().Row(0));
    ed.Rows().ReplaceRows(0, 1, row + c + "\r\n");
    ed.col = static_cast<int>(row.size()) + 1;
  }
}

}  // namespace

TEST(Undo, TypingUndoneAndRedoneStepByStepWithTheCaret) {
  FakeEditor ed;
  ed.lines.SetTextStr("ab\r\n");
  ed.col = 2;
  Type(ed, "xyz");
  ASSERT_EQ(ed.lines.GetTextStr(), "abxyz\r\n");
  for (int i = 0; i < 3; ++i) ed.Rows().Undo();
  EXPECT_EQ(ed.lines.GetTextStr(), "ab\r\n");
  EXPECT_EQ(ed.col, 2);  // where it was before the first character
  EXPECT_FALSE(ed.Rows().UndoObj().CanUndo());
  for (int i = 0; i < 3; ++i) ed.Rows().Redo();
  EXPECT_EQ(ed.lines.GetTextStr(), "abxyz\r\n");
  EXPECT_FALSE(ed.Rows().UndoObj().CanRedo());
  EXPECT_TRUE(ed.Rows().UndoObj().CanUndo());
}

TEST(Undo, NewEditEmptiesRedoAndUndoMarksModified) {
  FakeEditor ed;
  ed.lines.SetTextStr("a\r\n");
  Type(ed, "b");
  ed.Rows().Undo();
  EXPECT_TRUE(ed.Rows().UndoObj().CanRedo());
  ed.modified = false;
  Type(ed, "c");
  EXPECT_FALSE(ed.Rows().UndoObj().CanRedo());
  ed.modified = false;
  ed.Rows().Undo();  // back to the saved text, still a change
  EXPECT_TRUE(ed.modified);
}

TEST(Undo, DeletedLinesComeBackWithTheirLineEnds) {
  FakeEditor ed;
  ed.lines.SetTextStr("a\r\nb\r\n");
  ed.Rows().ReplaceRows(1, 1, "b");  // the last line loses its line end
  ASSERT_EQ(Dump(ed.Rows()), "a|C b|E");
  ed.Rows().ReplaceRows(0, 2, "");
  EXPECT_EQ(ed.Rows().GetCount(), 0);
  ed.Rows().Undo();
  EXPECT_EQ(Dump(ed.Rows()), "a|C b|E");
  ed.Rows().Undo();
  EXPECT_EQ(Dump(ed.Rows()), "a|C b|C");
}

TEST(Undo, WrapSwitchesAndLoadingForgetHistory) {
  FakeEditor ed;
  ed.lines.SetTextStr("a\r\n");
  Type(ed, "b");
  ed.Rows().SetWordWrap(true);
  EXPECT_FALSE(ed.Rows().UndoObj().CanUndo());
  Type(ed, "c");
  ed.Rows().WrapOption().SetWrapByte(30);
  EXPECT_FALSE(ed.Rows().UndoObj().CanUndo());
  Type(ed, "d");
  ed.lines.SetTextStr("new");
  EXPECT_FALSE(ed.Rows().UndoObj().CanUndo());
}

TEST(Undo, LimitKeepsTheNewestSteps) {
  FakeEditor ed;
  ed.lines.SetTextStr("\r\n");
  ed.Rows().UndoObj().SetUndoListMax(10);  // never below 64
  EXPECT_EQ(ed.Rows().UndoObj().UndoListMax(), 64);
  Type(ed, std::string(65, 'x'));
  EXPECT_EQ(ed.Rows().UndoObj().UndoCount(), 64u);
  while (ed.Rows().UndoObj().CanUndo()) ed.Rows().Undo();
  EXPECT_EQ(ed.lines.GetTextStr(), "x\r\n");
}

TEST(Undo, SharedHistoryRestoresTheFocusedEditorsCaret) {
  FakeEditor a;
  FakeEditor b(a.Shared());
  a.lines.SetTextStr("line\r\n");
  b.focused = true;
  b.col = 4;
  a.col = 1;
  Type(b, "!");
  b.col = 0;
  a.Rows().Undo();
  EXPECT_EQ(b.col, 4);
  EXPECT_EQ(a.col, 1);
}

TEST(Undo, EmptyingALastLineAfterALineEndLeavesNoEmptyRow) {
  // A line of exactly the wrap width without line end leaves an empty last
  // row; deleting the full row empties the last line, and the document then
  // ends with the line end before it, as it does with wrapping off. Undo
  // brings the line back.
  FakeEditor ed;
  ed.Rows().WrapOption().SetWrapByte(20);
  ed.Rows().SetWordWrap(true);
  ed.lines.SetTextStr("abc\r\n");
  ed.Rows().ReplaceRows(1, 0, std::string(20, 'x'));
  ASSERT_EQ(Dump(ed.Rows()), "abc|C " + std::string(20, 'x') + "|W |E");
  ed.Rows().ReplaceRows(1, 1, "");
  EXPECT_EQ(Dump(ed.Rows()), "abc|C");
  EXPECT_EQ(ed.lines.GetCount(), 1);
  ed.Rows().ReplaceRows(0, 1, "xyz\r\n");
  EXPECT_EQ(Dump(ed.Rows()), "xyz|C");
  ed.Rows().Undo();
  EXPECT_EQ(Dump(ed.Rows()), "abc|C");
  ed.Rows().Undo();
  EXPECT_EQ(Dump(ed.Rows()), "abc|C " + std::string(20, 'x') + "|W |E");
  EXPECT_EQ(ed.lines.GetTextStr(), "abc\r\n" + std::string(20, 'x'));
}

TEST(Undo, EditsInALongRowStoreOnlyWhatChanged) {
  FakeEditor ed;
  const std::string row(1 << 20, 'q');
  ed.lines.SetTextStr(row + "\r\n" + row);
  const std::string original = ed.lines.GetTextStr();
  ed.col = 500000;
  for (char c : std::string("typed")) {
    std::string text(ed.Rows().Row(0));
    text.insert(static_cast<std::size_t>(ed.col++), 1, c);
    ed.Rows().ReplaceRows(0, 1, text + "\r\n");
  }
  ed.Rows().ReplaceRows(1, 1, "");  // and the last line deleted whole
  EXPECT_LT(ed.Rows().UndoObj().StoredBytes(), row.size() + 100);
  const std::string edited = ed.lines.GetTextStr();
  while (ed.Rows().UndoObj().CanUndo()) ed.Rows().Undo();
  EXPECT_EQ(ed.lines.GetTextStr(), original);
  EXPECT_LT(ed.Rows().UndoObj().StoredBytes(), row.size() + 100);
  while (ed.Rows().UndoObj().CanRedo()) ed.Rows().Redo();
  EXPECT_EQ(ed.lines.GetTextStr(), edited);
}

namespace {

// Edits of every kind across a few lines: splices inside rows, lines put
// in, lines taken out, rows joined; the text each leaves behind.
std::vector<std::string> EditMany(FakeEditor& ed, int n) {
  std::vector<std::string> texts;
  for (int i = 0; i < n; ++i) {
    TEditorScreenStrings& rows = ed.Rows();
    const int r = i % rows.GetCount();
    switch (i % 4) {
      case 0: rows.ReplaceInRow(r, 0, 1, "Q"); break;
      case 1: rows.ReplaceRows(r, 0, "new\r\n"); break;
      case 2: rows.ReplaceRows(r, 1, ""); break;
      case 3: rows.ReplaceRows(r, 1, std::string(rows.Row(r)) + "+\r\n"); break;
    }
    texts.push_back(ed.lines.GetTextStr());
  }
  return texts;
}

}  // namespace

// A command's edits are one step, however many and whatever the limit: one
// undo takes them all back, one redo brings them all again, and the steps
// around it stay steps of their own.
TEST(UndoGroup, ACommandsEditsAreOneStep) {
  for (const bool wrap : {false, true}) {
    SCOPED_TRACE(wrap ? "wrapped" : "plain");
    FakeEditor ed;
    ed.Rows().WrapOption().SetWrapByte(20);
    ed.Rows().SetWordWrap(wrap);
    ed.lines.SetTextStr("one\r\ntwo two two two two two\r\nthree\r\nfour");
    const std::string original = ed.lines.GetTextStr();
    Type(ed, "!");
    const std::string before = ed.lines.GetTextStr();
    std::vector<std::string> texts;
    {
      TUndoGroup group(ed.Rows().UndoObj());
      texts = EditMany(ed, 300);
    }
    Type(ed, "?");
    const std::string after = ed.lines.GetTextStr();
    EXPECT_EQ(ed.Rows().UndoObj().UndoCount(), 3u);
    ed.Rows().Undo();
    ed.Rows().Undo();
    EXPECT_EQ(ed.lines.GetTextStr(), before);
    EXPECT_EQ(ed.Rows().UndoObj().RedoCount(), 2u);
    ed.Rows().Redo();
    EXPECT_EQ(ed.lines.GetTextStr(), texts.back());
    ed.Rows().Undo();
    EXPECT_EQ(ed.lines.GetTextStr(), before);
    ed.Rows().Undo();
    EXPECT_EQ(ed.lines.GetTextStr(), original);
    EXPECT_FALSE(ed.Rows().UndoObj().CanUndo());
    while (ed.Rows().UndoObj().CanRedo()) ed.Rows().Redo();
    EXPECT_EQ(ed.lines.GetTextStr(), after);
    EXPECT_EQ(ed.Rows().UndoObj().UndoCount(), 3u);
  }
}

TEST(UndoGroup, TheLimitCountsSteps) {
  FakeEditor ed;
  ed.lines.SetTextStr("a\r\nb\r\nc");
  std::vector<std::string> texts;
  for (int i = 0; i < 70; ++i) {
    TUndoGroup group(ed.Rows().UndoObj());
    texts.push_back(EditMany(ed, 3).back());
  }
  EXPECT_EQ(ed.Rows().UndoObj().UndoCount(), 64u);
  while (ed.Rows().UndoObj().CanUndo()) ed.Rows().Undo();
  EXPECT_EQ(ed.lines.GetTextStr(), texts[5]);  // the six oldest steps went whole
}

// The saved text is found again through whole steps: undoing or redoing a
// step of many edits, and undoing down to the oldest step kept when older
// ones were dropped.
TEST(UndoGroup, StepsReachTheSavedText) {
  FakeEditor ed;
  ed.lines.SetTextStr("a\r\nb\r\nc");
  TEditorUndoObj& undo = ed.Rows().UndoObj();
  const auto step = [&] {
    TUndoGroup group(undo);
    EditMany(ed, 3);
  };
  for (int i = 0; i < 6; ++i) step();
  undo.MarkSaved(true);
  step();
  EXPECT_FALSE(undo.AtSavedState());
  ed.Rows().Undo();
  EXPECT_TRUE(undo.AtSavedState());
  ed.Rows().Redo();
  EXPECT_FALSE(undo.AtSavedState());
  for (int i = 0; i < 63; ++i) step();  // 70 steps: the six oldest are dropped
  while (undo.CanUndo()) ed.Rows().Undo();
  EXPECT_TRUE(undo.AtSavedState());
}

// Undo puts back the selection the command started from; redo the caret
// as it was at the undo. Nested groups are the outer one's step; a group
// that changed nothing is no step and keeps what can be redone.
TEST(UndoGroup, UndoPutsTheSelectionBack) {
  FakeEditor ed;
  ed.lines.SetTextStr("abcdef\r\nghi");
  Type(ed, "x");
  ed.Rows().Undo();
  ASSERT_TRUE(ed.Rows().UndoObj().CanRedo());
  { TUndoGroup nothing(ed.Rows().UndoObj()); }
  EXPECT_TRUE(ed.Rows().UndoObj().CanRedo());
  EXPECT_FALSE(ed.Rows().UndoObj().CanUndo());

  const std::string before = ed.lines.GetTextStr();
  const TSelectionSpan box{0, 1, 1, 3, true};
  ed.selection = box;
  {
    TUndoGroup group(ed.Rows().UndoObj());
    ed.selection.reset();
    ed.Rows().ReplaceInRow(0, 1, 3, "BC");
    EXPECT_TRUE(ed.Rows().UndoObj().CanUndo());  // for the enabling told of this edit
    ed.Rows().Undo();  // waits for the group's end
    EXPECT_EQ(ed.Rows().Row(0), "aBCdef");
    TUndoGroup inner(ed.Rows().UndoObj());
    ed.Rows().ReplaceInRow(1, 1, 3, "HI");
  }
  EXPECT_EQ(ed.Rows().UndoObj().UndoCount(), 1u);
  ed.row = 1;
  ed.col = 2;
  const std::string edited = ed.lines.GetTextStr();
  ed.Rows().Undo();
  EXPECT_EQ(ed.lines.GetTextStr(), before);
  EXPECT_EQ(ed.selection, box);
  ed.selection.reset();
  ed.row = ed.col = 0;
  ed.Rows().Redo();
  EXPECT_EQ(ed.lines.GetTextStr(), edited);
  EXPECT_EQ(ed.selection, (TSelectionSpan{1, 2, 1, 2}));
  ed.Rows().Undo();  // the step made again still puts the box back
  EXPECT_EQ(ed.selection, box);
}

// After a step's records are replayed, the editors hear one change that
// covers every row any of them touched.
TEST(UndoGroup, TheEditorsHearOneChangeCoveringTheStep) {
  FakeEditor ed;
  ed.lines.SetTextStr("a\r\nb\r\nc\r\nd\r\ne");
  {
    TUndoGroup group(ed.Rows().UndoObj());
    ed.Rows().ReplaceRows(1, 0, "x\r\ny\r\n");
    ed.Rows().ReplaceInRow(5, 0, 1, "E");
  }
  const int changes = ed.changes;
  ed.Rows().Undo();
  EXPECT_EQ(ed.changes, changes + 1);
  EXPECT_EQ(ed.lastChange, (TChangedRange{1, 6, 4, true}));
}

// Assigning a wrap option with the values the rows were broken by breaks
// nothing anew: the steps and the caret stay. Other values re-wrap.
TEST(Undo, AssigningTheSameWrapOptionKeepsTheSteps) {
  FakeEditor ed;
  ed.Rows().WrapOption().SetWrapByte(20);
  ed.Rows().SetWordWrap(true);
  ed.lines.SetTextStr("abc\r\n");
  Type(ed, "d");
  TEditorWrapOption same;
  same.SetWrapByte(20);
  ed.col = 3;
  ed.Rows().WrapOption().Assign(same);
  EXPECT_TRUE(ed.Rows().UndoObj().CanUndo());
  EXPECT_EQ(ed.col, 3);
  same.SetWordBreak(true);
  ed.Rows().WrapOption().Assign(same);
  EXPECT_FALSE(ed.Rows().UndoObj().CanUndo());
  EXPECT_TRUE(ed.Rows().WrapOption().WordBreak());
}
