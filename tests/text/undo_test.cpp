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
