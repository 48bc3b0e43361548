// TEditor core: coordinates, caret rules, offsets, view, settings, events,
// sharing a document and undo.
#include <gtest/gtest.h>

#include <climits>

#include "editor_fixture.h"
#include "temp_dir.h"

namespace yk::test {
namespace {

using EditorCore = EditorTest;

void SelectTo(TEditor& e, int row, int col) {
  if (!e.Selected()) e.StartSelection();
  e.SetRowCol(row, col);
  e.ExtendSelection();
}

TEST_F(EditorCore, RowsOutsideTheDocumentGiveEmptyAnswers) {
  Load("a\tb\nxyz");
  EXPECT_EQ(ed.RowEndCol(0), 9);  // "a", tab to column 8, "b"
  EXPECT_EQ(ed.RowEndCol(5), 0);
  EXPECT_EQ(ed.RowText(-1), "");
  EXPECT_EQ(ed.RowAttribute(2), raEof);
  EXPECT_EQ(ed.RowAttribute(-3), raEof);
  EXPECT_EQ(ed.LogicalColumn(3, 0), -1);
  EXPECT_EQ(ed.LogicalColumn(0, -1), -1);
  EXPECT_EQ(ed.LogicalColumn(0, 5), 1);  // inside the tab: the tab's byte
  EXPECT_EQ(ed.LogicalColumn(0, 8), 2);
  EXPECT_EQ(ed.RowsToLines(2), 2);
}

// Points and columns at the ends of the int range map without overflowing.
TEST_F(EditorCore, ExtremeCoordinatesStayInRange) {
  Load("a\tb\nxyz");
  EXPECT_EQ(ed.LogicalColumn(0, INT_MAX), 3);
  const TPoint far = ed.PosToRowCol(INT_MAX, INT_MAX, true);
  EXPECT_GT(far.x, INT_MAX / 16);
  EXPECT_GT(far.y, INT_MAX / 32);
  const TPoint before = ed.PosToRowCol(INT_MIN, INT_MIN, true);
  EXPECT_EQ(before.x, 0);
  EXPECT_LT(before.y, -(INT_MAX / 32));
}

TEST_F(EditorCore, WrappedRowsCountTowardsLogicalColumnsAndLines) {
  ed.WrapOption().SetWrapByte(20);
  ed.SetWordWrap(true);
  Load(std::string(45, 'a') + "\nb\n");
  ASSERT_EQ(ed.RowCount(), 4);  // 20 + 20 + 5, then "b"
  EXPECT_EQ(ed.LogicalColumn(2, 3), 43);
  EXPECT_EQ(ed.RowsToLines(3), 1);
  EXPECT_EQ(ed.RowsToLines(4), 2);
}

TEST_F(EditorCore, ColumnsOfALongRowWithTabsFollowItsEdits) {
  // A row of several thousand columns with tabs and double-byte characters:
  // the byte of each column is the one its column map gives, also after
  // edits in the row that keep its length (overwriting) and after a change
  // of the tab width.
  std::string row;
  for (int i = 0; row.size() < 20000; ++i) row += i % 7 == 0 ? "\t" : i % 5 == 0 ? "\x82\xa0" : "ab";  // あ
  Load(row);
  auto check = [&](int tabWidth) {
    const std::string text = ed.RowText(0);
    const std::string map = ColumnMap(text, tabWidth, 0, ed.WordDelimiters());
    for (int col = 0; col < static_cast<int>(map.size()); col += 997) {
      const int start = CharStartColumn(map, col, false);
      int fills = 0;
      for (int c = 0; c <= start; ++c) fills += map[static_cast<std::size_t>(c)] == kColTabFill;
      ASSERT_EQ(ed.LogicalColumn(0, col), start - fills) << col << " tab " << tabWidth;
    }
  };
  check(ed.TabSpaceCount());
  ed.ScreenStrings().ReplaceInRow(0, 3, 4, "\t");  // a tab over a letter: the same length, other columns
  check(ed.TabSpaceCount());
  ed.Caret().SetTabSpaceCount(ed.TabSpaceCount() == 4 ? 6 : 4);
  check(ed.TabSpaceCount());
}

TEST_F(EditorCore, VerticalMovesRememberTheColumn) {
  struct Case {
    bool freeCaret, keepCaret;
    int expectShort, expectLong;
  };
  // Row 0 long, row 1 five columns, row 2 long; the caret starts at column 20.
  const Case cases[] = {
      {false, true, 5, 20},
      {false, false, 5, 5},
      {true, false, 20, 20},
  };
  for (const Case& c : cases) {
    ed.Caret().SetFreeCaret(c.freeCaret);
    ed.Caret().SetKeepCaret(c.keepCaret);
    Load(std::string(30, 'x') + "\nshort\n" + std::string(30, 'y'));
    ed.SetRowCol(0, 20);
    ed.SetRow(1);
    EXPECT_EQ(ed.Col(), c.expectShort) << c.freeCaret << c.keepCaret;
    ed.SetRow(2);
    EXPECT_EQ(ed.Col(), c.expectLong) << c.freeCaret << c.keepCaret;
  }
}

TEST_F(EditorCore, CaretNeverStandsInsideACharacterOrTab) {
  // Row 1: "a" + あ (columns 1-2); a vertical move onto column 2 lands on
  // the lead byte and returns to column 2 on the next row.
  Load("abcdef\na\x82\xa0\nabcdef");  // abcdef / aあ / abcdef
  ed.SetRowCol(0, 2);
  ed.SetRow(1);
  EXPECT_EQ(ed.Col(), 1);
  ed.SetRow(2);
  EXPECT_EQ(ed.Col(), 2);

  Load("a\tb");
  ed.SetCol(1);
  ed.SetCol(2);  // right into the tab's fillers: past them
  EXPECT_EQ(ed.Col(), 8);
  ed.SetCol(7);  // left into the fillers: onto the tab
  EXPECT_EQ(ed.Col(), 1);
  ed.Caret().SetInTab(true);
  ed.SetCol(5);
  EXPECT_EQ(ed.Col(), 5);
}

TEST_F(EditorCore, RowClampsToTheDocument) {
  Load("ab\ncd");  // no final line end: no row after the last line
  ed.SetRow(ed.RowCount());
  EXPECT_EQ(ed.Row(), 1);
  Load("ab\ncd\n");
  ed.SetRow(99);
  EXPECT_EQ(ed.Row(), 2);
  ed.SetRow(-5);
  EXPECT_EQ(ed.Row(), 0);
  Load("");
  ed.SetRowCol(3, 3);
  EXPECT_EQ(ed.Row(), 0);
}

TEST_F(EditorCore, WordWrapKeepsTheCaretOffTheEndOfAWrappedRow) {
  ed.WrapOption().SetWrapByte(20);
  ed.SetWordWrap(true);
  ed.Caret().SetFreeCaret(true);
  Load(std::string(25, 'a'));
  ed.SetRowCol(0, 20);
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(ed.Col(), 19);
  ed.SetRowCol(1, 30);  // the last row: not beyond the wrap column
  EXPECT_EQ(ed.Col(), 19);
}

TEST_F(EditorCore, CaretReachesTheEndOfARowWiderThanTheFixedExtent) {
  const std::string wide(3000, 'w');  // 24000 pixels at 8 per column
  ed.Caret().SetFreeCaret(false);
  Load(wide + "\nshort");
  ed.SetCol(100000);
  EXPECT_EQ(ed.Col(), 3000);
  EXPECT_GT(ed.TopCol() + ed.VisibleCols(), 3000);  // the view followed
  ed.SetRow(1);
  EXPECT_EQ(ed.MaxTopCol(), 3000);  // the widest row, wherever the caret is
}

TEST_F(EditorCore, HorizontalBarReachesTheEndOfTheWidestRowPlusAScreen) {
  ed.SetScrollBars(ssBoth);
  const int fixed = TEditor::kHorizontalExtent / ed.ColWidth();
  Load("short\n" + std::string(3000, 'w') + "\n\tx\nend");
  ed.SetRowCol(0, 0);  // the caret on a short row
  // The thumb at the right end of the bar puts the widest row's end at the
  // left edge: one screen past it.
  const TScrollBarInfo bar = host.horizontal;
  EXPECT_EQ(bar.max - bar.page + 1, 3000);
  ed.HScroll(scBottom);
  EXPECT_EQ(ed.TopCol(), 3000);
  // Typing in the widest row widens the range; removing it narrows it again.
  ed.SetRowCol(1, 0);
  ed.KeyChar('v');
  EXPECT_EQ(ed.MaxTopCol(), 3001);
  ed.DeleteRow(1);
  EXPECT_EQ(ed.MaxTopCol(), fixed);
  // A row with tabs counts by its display width.
  Load(std::string(1500, '\t'));
  EXPECT_EQ(ed.MaxTopCol(), 1500 * 8);
  ed.Caret().SetTabSpaceCount(4);
  EXPECT_EQ(ed.MaxTopCol(), 1500 * 4);
}

TEST_F(EditorCore, OffsetsRoundTripAndLineEndsStayOnTheirRow) {
  Load("ab\n\x82\xa0x\ncd");  // ab / あx / cd
  EXPECT_EQ(ed.OffsetFromRowCol(0, 1, 2), 6);
  EXPECT_EQ(ed.OffsetFromRowCol(1, 2, 1), 6);
  struct Case {
    std::int64_t offset;
    int row, col;
  };
  const Case cases[] = {{0, 0, 0}, {2, 0, 2}, {3, 0, 2}, {4, 1, 0}, {6, 1, 2}, {9, 2, 0}, {11, 2, 2}, {50, 2, 2}};
  for (const Case& c : cases) {
    ed.SetCaretByOffset(0, c.offset);
    EXPECT_EQ(ed.Row(), c.row) << c.offset;
    EXPECT_EQ(ed.Col(), c.col) << c.offset;
  }
  Load("ab\n");
  ed.SetSelStart(2);  // the end of a line is on that line
  EXPECT_EQ(ed.Row(), 0);
  ed.SetSelStart(4);
  EXPECT_EQ(ed.Row(), 1);
}

// Sideways, ScrollCaret shows the caret with the least scroll from the left
// edge; an emptied text starts the next one at the left edge.
TEST_F(EditorCore, ScrollCaretScrollsSidewaysAsLittleAsItCan) {
  Load(std::string(300, 'x') + "\n" + std::string(300, 'y'));
  const int v = ed.VisibleCols();
  ASSERT_GT(v, 20);
  struct {
    int top;
    int col;
    int want;
  } const cases[] = {
      {0, 5, 0},             // shown already
      {40, 5, 0},            // left of the view
      {40, v - 1, 0},        // shown, but the view can go back to the edge
      {0, v, 1},             // just right of the view: the caret at its right edge
      {0, 200, 200 - v + 1},
      {190, 200, 200 - v + 1},
  };
  for (const auto& c : cases) {
    ed.SetCol(c.col);
    ed.SetTopCol(c.top);
    ed.ScrollCaret();
    EXPECT_EQ(ed.TopCol(), c.want) << c.top << " " << c.col;
  }
  ed.SetTopCol(50);
  host.focused = false;
  ed.Lines().Clear();
  EXPECT_EQ(ed.TopCol(), 0);
}

TEST_F(EditorCore, ScrollCaretAndVisibility) {
  host.size = {400, 2 + 5 + 10 * 16};  // ten visible rows
  ed.Resized();
  ASSERT_EQ(ed.VisibleRows(), 10);
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\n";
  Load(text);
  int topChanges = 0;
  ed.OnTopRowChange = [&](TEditor&) { ++topChanges; };
  ed.SetRow(50);
  EXPECT_EQ(ed.TopRow(), 41);  // the caret on the last visible row
  ed.ScrollCaret();
  EXPECT_EQ(ed.TopRow(), 41);
  ed.SetTopRow(0);
  ed.ScrollCaret();
  EXPECT_EQ(ed.TopRow(), 50 - 10 / 3);
  EXPECT_EQ(topChanges, 3);
  ed.SetTopRow(1000);
  EXPECT_EQ(ed.TopRow(), 100);
}

// A view too small for one row keeps the caret row at its top, and a view
// that grows again is filled with the rows above before any empty space.
TEST_F(EditorCore, AViewShrunkBelowOneRowComesBackFull) {
  host.size = {60, 10};
  ed.Resized();
  ASSERT_EQ(ed.VisibleRows(), 0);
  for (int i = 0; i < 12; ++i) {
    ed.KeyChar('a');
    ed.KeyChar('\r');
    EXPECT_EQ(ed.TopRow(), ed.Row()) << i;
  }
  host.size = {400, 2 + 5 + 10 * 16};  // ten rows
  ed.Resized();
  EXPECT_EQ(ed.TopRow(), 12 - 10 + 1);   // the caret's row is the last one shown
  host.size = {400, 480};
  ed.Resized();
  EXPECT_EQ(ed.TopRow(), 0);
  // Growing never scrolls a view the user moved down inside a long text.
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\n";
  Load(text);
  ed.SetTopRow(40);
  host.size = {400, 600};
  ed.Resized();
  EXPECT_EQ(ed.TopRow(), 40);
}

TEST_F(EditorCore, UnfocusedEditorNeitherScrollsNorReportsTheCaret) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line\n";
  Load(text);
  int moves = 0;
  ed.OnCaretMoved = [&](TEditor&) { ++moves; };
  host.focused = false;
  ed.SetRow(80);
  EXPECT_EQ(ed.TopRow(), 0);
  EXPECT_EQ(moves, 0);
  host.focused = true;
  ed.SetRow(81);
  EXPECT_GT(ed.TopRow(), 0);
  EXPECT_EQ(moves, 1);
}

// Focus shows the caret where it is; it never moves the view, or a click
// that gives the focus would land on a row scrolled away under the mouse.
TEST_F(EditorCore, FocusDoesNotMoveTheView) {
  std::string text;
  for (int i = 0; i < 300; ++i) text += "line\n";
  Load(text);
  int moves = 0;
  ed.OnCaretMoved = [&](TEditor&) { ++moves; };
  host.focused = false;
  ed.FocusChanged(false);
  ed.SetTopRow(100);
  for (int round = 0; round < 2; ++round) {
    host.focused = true;
    ed.FocusChanged(true);
    EXPECT_EQ(ed.TopRow(), 100) << round;
    EXPECT_EQ(moves, round + 1);          // the caret is still placed and reported
    EXPECT_FALSE(host.caretVisible);      // row 0 is not in the view: not shown
    host.focused = false;
    ed.FocusChanged(false);
  }
  // A press on the third visible row puts the caret there.
  host.focused = true;
  ed.FocusChanged(true);
  ed.MouseDown(mbLeft, ssLeft, ed.Margin().Left() + 1, ed.Margin().Top() + 3 * ed.RowHeight() + 1);
  ed.MouseUp(mbLeft, 0, ed.Margin().Left() + 1, ed.Margin().Top() + 3 * ed.RowHeight() + 1);
  EXPECT_EQ(ed.Row(), 103);
  EXPECT_EQ(ed.TopRow(), 100);
}

TEST_F(EditorCore, CaretShapeFollowsModeAndStyle) {
  Load("\x82\xa0");  // あ
  const int w = host.metrics.aveCharWidth;
  ed.SetOverwrite(true);
  EXPECT_EQ(host.caretWidth, 2 * w);  // over a double-byte character
  EXPECT_EQ(host.caretHeight, 16);
  ed.SetOverwrite(false);
  EXPECT_EQ(host.caretWidth, 2);
  ed.Caret().SetStyle(csBrief);
  EXPECT_EQ(host.caretWidth, 2 * w);
  EXPECT_EQ(host.caretHeight, 2);
  EXPECT_EQ(host.caretPos.y, ed.Margin().Top() + 16 - 2);
}

TEST_F(EditorCore, SettingsAndMetrics) {
  ed.SetUndoListMax(10);
  EXPECT_EQ(ed.UndoListMax(), 64);
  const int rows = ed.VisibleRows();
  const int pitch = ed.RowHeight();
  ed.Marks().Underline().SetVisible(true);
  EXPECT_EQ(ed.RowHeight(), pitch + 1);
  EXPECT_LE(ed.VisibleRows(), rows);
  ed.Margin().SetCharacter(2);
  EXPECT_EQ(ed.ColWidth(), host.metrics.aveCharWidth + 2);
  ed.View().SetCommenter("//");
  EXPECT_EQ(ed.ParserRules()->commenter, "//");
}

// ScrollBars reaches the window whoever sets it (a property set is applied
// to the editor, not to its window), and a new window learns it at once.
TEST_F(EditorCore, ScrollBarsReachTheWindow) {
  for (TScrollStyle bars : {ssBoth, ssVertical, ssNone, ssHorizontal}) {
    ed.SetScrollBars(bars);
    EXPECT_EQ(host.bars, bars);
  }
  FakeHost other;
  ed.SetHost(&other);
  EXPECT_EQ(other.bars, ssHorizontal);
  ed.SetHost(&host);
}

TEST_F(EditorCore, ChangesMarkModifiedAndFireOnChange) {
  Load("abc");
  int changes = 0;
  ed.OnChange = [&](TEditor&) { ++changes; };
  EXPECT_FALSE(ed.Modified());
  ed.InsertText("x");
  EXPECT_TRUE(ed.Modified());
  EXPECT_EQ(changes, 1);
}

// The modified flag follows the text, not the history: undo or redo back
// to the text last saved clears it, any other edit sets it. Steps: a-z type
// a letter, u undo, r redo, s save, m the file changed (SetModified(true)),
// w word wrap on (the history goes, the text stays).
TEST_F(EditorCore, UndoAndRedoBackToTheSavedTextClearTheModifiedFlag) {
  struct {
    const char* steps;
    bool modified;
  } const cases[] = {
      {"au", false},    {"aur", true},   {"asu", true},  {"asur", false}, {"aaauuu", false},
      {"aaauuur", true}, {"aub", true},  {"aubu", false}, {"maua", true}, {"mau", true},
      {"awu", true},    {"asw", false},  {"awsa", true},  {"aswau", false},
  };
  for (const auto& c : cases) {
    Load("abc");
    ed.SetWordWrap(false);
    for (const char* p = c.steps; *p; ++p) {
      switch (*p) {
        case 'u': ed.Undo(); break;
        case 'r': ed.Redo(); break;
        case 's': ed.SetModified(false); break;
        case 'm': ed.SetModified(true); break;
        case 'w': ed.SetWordWrap(true); break;
        default: ed.KeyPress(*p); break;
      }
    }
    EXPECT_EQ(ed.Modified(), c.modified) << c.steps;
  }
  // Past the undo limit the saved text cannot be reached again.
  Load("abc");
  const int limit = ed.UndoListMax();
  for (int i = 0; i <= limit; ++i) ed.KeyPress('x');
  for (int i = 0; i <= limit; ++i) ed.Undo();
  EXPECT_TRUE(ed.Modified());
  EXPECT_EQ(ed.Lines().GetTextStr(), "xabc");
}

TEST_F(EditorCore, TwoEditorsShareOneDocument) {
  Load("one\ntwo\nthree\n");
  FakeHost host2;
  host2.focused = false;
  auto other = std::make_unique<TEditor>();
  other->SetHost(&host2);
  other->ShareTextWith(ed);
  EXPECT_EQ(other->RowCount(), 3);
  other->SetRowCol(2, 2);
  other->StartSelection();
  other->SetCol(4);
  other->ExtendSelection();
  int otherChanges = 0;
  other->OnChange = [&](TEditor&) { ++otherChanges; };
  host2.invalidated.clear();

  ed.SetRowCol(0, 3);
  ed.InsertText("!");
  EXPECT_EQ(other->RowText(0), "one!");
  EXPECT_EQ(otherChanges, 1);
  EXPECT_FALSE(host2.invalidated.empty());
  EXPECT_EQ(other->Row(), 2);
  EXPECT_EQ(other->Col(), 4);
  EXPECT_TRUE(other->Selected());
  EXPECT_EQ(other->SelText(), "re");

  // A change under the other editor's caret and selection leaves both
  // safe: the caret moves off the half of a character, and a selection
  // beyond the end reads nothing outside the document.
  ed.SetRowCol(2, 0);
  ed.InsertText("x\x82\xa0\x82\xa2");  // xあいthree: columns 2 and 4 are trail bytes
  EXPECT_EQ(other->Col(), 3);
  EXPECT_EQ(other->SelText(), "\x82\xa0");  // columns 1 to 3: あ
  other->CancelSelection();
  other->KeyChar('y');
  EXPECT_EQ(other->RowText(2), "x\x82\xa0y\x82\xa2three");
  other->SetRowCol(0, 0);
  SelectTo(*other, 2, 3);
  ed.SelectAll();
  ed.DeleteSelection();
  EXPECT_EQ(other->SelText(), "");
  EXPECT_EQ(other->SelLength(), 0);
  other->DeleteSelection();
  EXPECT_EQ(other->RowCount(), 0);
  ed.InsertText("one!\ntwo\nthree\n");

  // The rows outlive the editor that made them.
  ed.ShareTextWith(*other);
  other.reset();
  EXPECT_EQ(Text(), "one!\ntwo\nthree\n");
}

TEST_F(EditorCore, UndoAndRedoRestoreTextAndCaret) {
  Load("ab|");
  ed.InsertText("x");
  ed.InsertText("y");
  ed.InsertText("z");
  EXPECT_EQ(Show(), "abxyz|");
  ed.Undo();
  ed.Undo();
  ed.Undo();
  EXPECT_EQ(Show(), "ab|");
  EXPECT_FALSE(ed.CanUndo());
  ed.Redo();
  ed.Redo();
  ed.Redo();
  EXPECT_EQ(Text(), "abxyz");
  ed.Undo();
  ed.InsertText("q");
  EXPECT_FALSE(ed.CanRedo());
}

TEST_F(EditorCore, SaveToFileWritesTheWrappedForm) {
  ed.WrapOption().SetWrapByte(20);
  ed.SetWordWrap(true);
  Load(std::string(25, 'a'));
  const yk::test::TTempDir dir;
  const std::string path = dir.File("editor_save.txt");
  ed.SaveToFile(path);
  std::FILE* f = std::fopen(path.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buffer[64] = {};
  const std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
  std::fclose(f);
  std::remove(path.c_str());
  EXPECT_EQ(std::string(buffer, n), std::string(20, 'a') + "\r\n" + std::string(5, 'a') + "\r\n");
}

}  // namespace
}  // namespace yk::test
