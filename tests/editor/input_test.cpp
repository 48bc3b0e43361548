// TEditor keyboard, mouse, scrolling and input method through the entry
// points a port calls: key table scenarios, mouse and row selection, the
// selection drag, scroll bars with LockScroll, cursors and the input method.
#include <gtest/gtest.h>

#include <climits>

#include "editor_fixture.h"

namespace yk::test {
namespace {

class EditorInput : public EditorTest {
 protected:
  // Client points inside a cell's left half, so rounding keeps the column.
  int X(int col) { return ed.Margin().Left() + (col - ed.TopCol()) * ed.ColWidth() + 1; }
  int Y(int row) { return ed.Margin().Top() + (row - ed.TopRow()) * ed.RowHeight() + 4; }

  void Click(int row, int col, TShiftState shift = 0) {
    ed.MouseDown(mbLeft, shift | ssLeft, X(col), Y(row));
    ed.MouseUp(mbLeft, shift, X(col), Y(row));
  }
  // Press at one cell, move to another, release there.
  void Drag(int row, int col, int toRow, int toCol, TShiftState upShift = 0) {
    ed.MouseDown(mbLeft, ssLeft, X(col), Y(row));
    ed.MouseMove(ssLeft, X(toCol), Y(toRow));
    ed.MouseUp(mbLeft, upShift, X(toCol), Y(toRow));
  }
  void Lines(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "line" + std::to_string(i) + "\n";
    Load(text);
  }
};

TEST_F(EditorInput, KeyTable) {
  struct Case {
    const char* text;
    TKey key;
    TShiftState shift;
    const char* expect;
  };
  const Case cases[] = {
      {"ab|c", vkLeft, 0, "a|bc"},
      {"ab|c", vkRight, 0, "abc|"},
      {"abc|def", vkEnd, 0, "abcdef|"},
      {"abc|def", vkHome, 0, "|abcdef"},
      {"a\nb|c\nd", vkEnd, ssCtrl, "a\nbc\nd|"},
      {"a\nb\n|", vkHome, ssCtrl, "|a\nb\n"},
      {"a\nb|\n", vkEnd, ssCtrl, "a\nb\n|"},
      {"ab\n|cd", vkLeft, 0, "ab\n|cd"},  // NextLine off: stays
      {"ab\nc|d", vkUp, 0, "a|b\ncd"},
      {"a|b\ncd", vkDown, 0, "ab\nc|d"},
      {"a|b\ncd", vkUp, 0, "a|b\ncd"},  // row 0
      {"ab\nc|d", vkDown, 0, "ab\nc|d"},  // last row without line end
      {"abc def|", vkLeft, ssCtrl, "abc |def"},
      {"|abc def", vkRight, ssCtrl, "abc |def"},
      {"|\x82\xa0\x82\xa2", vkRight, 0, "\x82\xa0|\x82\xa2"},  // |あい -> あ|い
      {"\x82\xa0\x82\xa2|", vkLeft, 0, "\x82\xa0|\x82\xa2"},
      {"a|bcd", vkRight, ssShift, "a[b]cd"},
      {"abc|d", vkHome, ssShift, "[abc]d"},
      {"a|b\ncd", vkDown, ssShift, "a[b\nc]d"},
      {"a|bc", vkDelete, 0, "a|c"},
      {"a\x82\xa0|b", vkDelete, ssShift, "a\x82\xa0|"},  // aあb: Delete ignores Shift
  };
  for (const Case& c : cases) {
    Load(c.text);
    ed.KeyDown(c.key, c.shift);
    EXPECT_EQ(Show(), c.expect) << c.text << " key " << int(c.key) << " shift " << int(c.shift);
  }
}

TEST_F(EditorInput, ShiftSelectionGrowsAndPlainMovesCancelIt) {
  Load("a|bcdef");
  ed.KeyDown(vkRight, ssShift);
  ed.KeyDown(vkRight, ssShift);
  EXPECT_EQ(Show(), "a[bc]def");
  ed.KeyDown(vkLeft, ssShift);
  EXPECT_EQ(Show(), "a[b]cdef");
  ed.KeyDown(vkRight, 0);
  EXPECT_EQ(Show(), "abc|def");
  // A click leaves a started selection; Shift+key anchors at the caret.
  Click(0, 5);
  ed.KeyDown(vkLeft, ssShift);
  EXPECT_EQ(Show(), "abcd[e]f");
}

TEST_F(EditorInput, RowCrossingFollowsNextLineAndWrap) {
  ed.Caret().SetFreeCaret(false);
  Load("ab|\ncd");
  ed.KeyDown(vkRight, 0);
  EXPECT_EQ(Show(), "ab|\ncd");
  ed.Caret().SetNextLine(true);
  ed.KeyDown(vkRight, 0);
  EXPECT_EQ(Show(), "ab\n|cd");
  ed.KeyDown(vkLeft, 0);
  EXPECT_EQ(Show(), "ab|\ncd");

  // With FreeCaret the caret keeps going right, up to the horizontal limit.
  ed.Caret().SetFreeCaret(true);
  ed.Caret().SetNextLine(false);
  Load("ab|\ncd");
  for (int i = 0; i < 5000; ++i) ed.KeyDown(vkRight, 0);
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(ed.Col(), ed.MaxTopCol() + ed.VisibleCols());

  // A wrapped row is always crossed; its end is the next row's start.
  ed.WrapOption().SetWrapByte(20);
  ed.SetWordWrap(true);
  Load(std::string(25, 'a'));
  ed.SetRowCol(1, 0);
  ed.KeyDown(vkLeft, 0);
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(ed.Col(), 19);
  ed.KeyDown(vkRight, 0);
  EXPECT_EQ(ed.Row(), 1);
  EXPECT_EQ(ed.Col(), 0);
}

TEST_F(EditorInput, PageMovesKeepTheCaretOnTheScreen) {
  Lines(100);
  const int page = ed.VisibleRows() - 1;
  ed.SetRowCol(3, 2);
  ed.KeyDown(vkNext, 0);
  EXPECT_EQ(ed.TopRow(), page);
  EXPECT_EQ(ed.Row(), 3 + page);
  EXPECT_EQ(ed.Col(), 2);
  ed.KeyDown(vkPrior, ssShift);
  EXPECT_EQ(ed.TopRow(), 0);
  EXPECT_EQ(ed.Row(), 3);
  EXPECT_TRUE(ed.Selected());
  ed.KeyDown(vkPrior, 0);  // at the top: to row 0, nothing scrolls
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_FALSE(ed.Selected());

  // The top row is the last row of a text without final line end.
  Load("a\nb\nc");
  ed.SetTopRow(2);
  ed.SetRowCol(2, 1);
  ed.KeyDown(vkNext, 0);
  EXPECT_EQ(ed.TopRow(), 2);
  EXPECT_EQ(ed.Row(), 2);

  // A view too low for a whole row still pages in the key's direction.
  host.size.height = 20;
  ed.Resized();
  ASSERT_EQ(ed.VisibleRows(), 0);
  Lines(10);
  ed.SetRowCol(3, 0);
  ed.KeyDown(vkNext, 0);
  EXPECT_EQ(ed.Row(), 4);
  ed.KeyDown(vkPrior, 0);
  EXPECT_EQ(ed.Row(), 3);
}

TEST_F(EditorInput, HeldArrowsScrollTwoRowsAtTheEdge) {
  Lines(100);
  const int last = ed.VisibleRows() - 1;
  ed.SetRowCol(last, 0);
  ed.KeyDown(vkDown, 0, true);
  EXPECT_EQ(ed.Row(), last + 2);
  EXPECT_EQ(ed.TopRow(), 2);
  ed.KeyDown(vkDown, 0, false);
  EXPECT_EQ(ed.Row(), last + 3);
  EXPECT_EQ(ed.TopRow(), 3);
  ed.SetRowCol(3, 0);  // the first visible row
  ed.KeyDown(vkUp, 0, true);
  EXPECT_EQ(ed.Row(), 1);
  EXPECT_EQ(ed.TopRow(), 1);
  ed.KeyDown(vkUp, 0, true);  // row 1 is on top: two rows, clamped at 0
  EXPECT_EQ(ed.Row(), 0);
  EXPECT_EQ(ed.TopRow(), 0);
}

TEST_F(EditorInput, CtrlArrowsScrollAndTheCaretFollowsOnlyAtTheEdge) {
  Lines(100);
  ed.SetRowCol(5, 0);
  ed.KeyDown(vkDown, ssCtrl);
  EXPECT_EQ(ed.TopRow(), 1);
  EXPECT_EQ(ed.Row(), 5);
  EXPECT_EQ(host.caretPos, ed.GetCaretXY());  // moved on the screen with the view
  ed.SetRowCol(1, 0);
  ed.KeyDown(vkDown, ssCtrl);
  EXPECT_EQ(ed.TopRow(), 2);
  EXPECT_EQ(ed.Row(), 2);
  const int bottom = ed.TopRow() + ed.VisibleRows() - 1;
  ed.SetRowCol(bottom, 0);
  ed.KeyDown(vkUp, ssCtrl);
  EXPECT_EQ(ed.TopRow(), 1);
  EXPECT_EQ(ed.Row(), bottom - 1);
}

TEST_F(EditorInput, KeyHandlersAndTyping) {
  Load("ab|");
  ed.OnKeyDown = [](TEditor&, TKey& key, TShiftState) {
    if (key == vkLeft) key = vkNone;
  };
  EXPECT_TRUE(ed.KeyDown(vkLeft, 0));
  EXPECT_EQ(Show(), "ab|");
  EXPECT_FALSE(ed.KeyDown(vkF5, 0));
  ed.KeyPress('x');
  ed.KeyPress('\t', ssShift);  // Shift+Tab types nothing
  EXPECT_EQ(Show(), "abx|");
  ed.OnKeyPress = [](TEditor&, char& c) {
    if (c == 'q') c = 0;
  };
  ed.KeyPress('q');
  ed.KeyPress('\x82');  // a lead byte alone is never typed
  EXPECT_EQ(Show(), "abx|");
  ed.SetReadOnly(true);
  ed.KeyPress('y');
  ed.KeyDown(vkDelete, 0);
  ed.KeyPress('\b');
  EXPECT_EQ(Text(), "abx");
}

TEST_F(EditorInput, ClickAndDragSelectPastTheThreshold) {
  Load("abcdefgh\nijkl");
  Click(0, 3);
  EXPECT_EQ(Show(), "abc|defgh\nijkl");
  // A point in a cell's right half goes to the next column.
  ed.MouseDown(mbLeft, ssLeft, X(3) + 5, Y(0));
  ed.MouseUp(mbLeft, 0, X(3) + 5, Y(0));
  EXPECT_EQ(ed.Col(), 4);

  const int threshold = ed.ColWidth() / 2;
  ed.MouseDown(mbLeft, ssLeft, X(1), Y(0));
  ed.MouseMove(ssLeft, X(1) + threshold - 1, Y(0));
  EXPECT_FALSE(ed.Selected());
  ed.MouseMove(ssLeft, X(1) + threshold, Y(0));
  EXPECT_TRUE(ed.Selected());
  ed.MouseMove(ssLeft, X(2), Y(1));
  ed.MouseUp(mbLeft, 0, X(2), Y(1));
  EXPECT_EQ(Show(), "a[bcdefgh\nij]kl");
  EXPECT_FALSE(ed.InMouseAction());

  Click(0, 6, ssShift);  // Shift+click moves the end
  EXPECT_EQ(Show(), "a[bcdef]gh\nijkl");
}

TEST_F(EditorInput, DraggingAboveTheTextScrollsUp) {
  Lines(100);
  ed.SetTopRow(10);
  ed.SetRowCol(12, 0);
  ed.MouseDown(mbLeft, ssLeft, X(0), Y(12));
  ed.MouseMove(ssLeft, X(2), ed.Margin().Top() - 1);
  EXPECT_EQ(ed.Row(), 9);
  EXPECT_EQ(ed.TopRow(), 9);
  // The port's timer keeps scrolling while the mouse stays there.
  EXPECT_TRUE(ed.AutoScrollTick());
  EXPECT_EQ(ed.TopRow(), 8);
  ed.MouseMove(ssLeft, X(2), Y(15));
  EXPECT_FALSE(ed.AutoScrollTick());  // inside the text: nothing to do
  ed.MouseUp(mbLeft, 0, X(2), Y(15));
  EXPECT_FALSE(ed.AutoScrollTick());
  EXPECT_TRUE(ed.Selected());
}

TEST_F(EditorInput, SelectionDragMovesAsOneEdit) {
  Load("abc def ghi");
  ed.SetSelLength(3);
  Drag(0, 1, 0, 8);
  EXPECT_EQ(Show(), " def abc|ghi");
  EXPECT_EQ(ed.SelDragState(), sdNone);
  ed.Undo();
  EXPECT_EQ(Text(), "abc def ghi");

  // Moves across rows, before and after the selection, and past a row's
  // end, which pads the drop row with spaces.
  struct Case {
    const char* text;
    int selStart, selLength, fromCol, toRow, toCol;
    const char* expect;
  };
  const Case cases[] = {
      {"xy\nabcd", 6, 2, 3, 0, 1, "xcd|y\nab"},
      {"ab\ncd", 0, 2, 0, 1, 5, "\ncd   ab|"},
      {"ab\ncd\nef", 1, 4, 1, 2, 1, "ad\neb\nc|f"},
  };
  for (const Case& c : cases) {
    Load(c.text);
    ed.SetSelStart(c.selStart);
    ed.SetSelLength(c.selLength);
    const int fromRow = ed.SelectionRange().top;
    Drag(fromRow, c.fromCol, c.toRow, c.toCol);
    EXPECT_EQ(Show(), c.expect) << c.text;
    EXPECT_TRUE(ed.CanUndo());
    ed.Undo();
    EXPECT_EQ(Text(), c.text);
  }
}

TEST_F(EditorInput, SelectionDragCopiesCancelsAndSwitchesCursors) {
  ed.Caret().Cursors().SetInSelCursor(crArrow);
  Load("abc def ghi");
  ed.SetSelLength(3);
  ed.MouseMove(0, X(1), Y(0));
  EXPECT_EQ(host.cursor, crArrow);  // over the selection
  ed.MouseDown(mbLeft, ssLeft, X(1), Y(0));
  EXPECT_EQ(ed.SelDragState(), sdPending);
  ed.MouseMove(ssLeft | ssCtrl, X(8), Y(0));
  EXPECT_EQ(ed.SelDragState(), sdDragging);
  EXPECT_EQ(host.screenCursor, crDragSelCopy);
  ed.KeyUp(vkControl, 0);
  EXPECT_EQ(host.screenCursor, crDrag);
  ed.KeyDown(vkControl, ssCtrl);
  EXPECT_EQ(host.screenCursor, crDragSelCopy);
  ed.KeyDown(vkLeft, ssCtrl);  // other keys are ignored during a drag
  ed.MouseUp(mbLeft, ssCtrl, X(8), Y(0));
  EXPECT_EQ(Show(), "abc def abc|ghi");

  // Released without moving: the selection goes, the caret stays.
  Load("abc def ghi");
  ed.SetSelLength(3);
  Click(0, 1);
  EXPECT_EQ(Show(), "a|bc def ghi");
  // Released inside the selection or outside the window: only a cancel.
  for (int toX : {X(2), host.size.width + 10}) {
    Load("abc def ghi");
    ed.SetSelLength(3);
    ed.MouseDown(mbLeft, ssLeft, X(0), Y(0));
    ed.MouseMove(ssLeft, toX, Y(0));
    ed.MouseUp(mbLeft, 0, toX, Y(0));
    EXPECT_FALSE(ed.Selected());
    EXPECT_EQ(Text(), "abc def ghi");
  }
  // Escape ends the drag at once.
  Load("abc def ghi");
  ed.SetSelLength(3);
  ed.MouseDown(mbLeft, ssLeft, X(1), Y(0));
  ed.MouseMove(ssLeft, X(9), Y(0));
  ed.KeyDown(vkEscape, 0);
  EXPECT_EQ(ed.SelDragState(), sdNone);
  EXPECT_EQ(host.screenCursor, crIBeam);
  EXPECT_FALSE(ed.Selected());
  ed.MouseUp(mbLeft, 0, X(9), Y(0));
  EXPECT_EQ(Text(), "abc def ghi");

  // A release the editor never saw ends the drag without a drop, so keys
  // work again.
  Load("abc def ghi");
  ed.SetSelLength(3);
  ed.MouseDown(mbLeft, ssLeft, X(1), Y(0));
  ed.MouseMove(ssLeft, X(9), Y(0));
  ed.MouseMove(0, X(9), Y(0));
  EXPECT_FALSE(ed.InMouseAction());
  EXPECT_EQ(Text(), "abc def ghi");
  EXPECT_TRUE(ed.KeyDown(vkEnd, 0));
  EXPECT_EQ(Show(), "abc def ghi|");
}

TEST_F(EditorInput, SelectionDragNeedsAWritableStreamSelection) {
  struct Case {
    bool readOnly, box, selMove;
  };
  for (const Case c : {Case{true, false, true}, Case{false, true, true}, Case{false, false, false}}) {
    ed.SetReadOnly(false);
    Load("abc def ghi");
    ed.Caret().SetSelMove(c.selMove);
    ed.SetSelStart(0);
    ed.SetSelLength(3);
    ed.SetSelectionMode(c.box ? smBox : smNormal);
    ed.SetReadOnly(c.readOnly);
    Drag(0, 1, 0, 8);  // an ordinary selection instead of a drag
    EXPECT_EQ(Text(), "abc def ghi");
    EXPECT_EQ(ed.SelectionRange().left, 1);
    EXPECT_EQ(ed.SelectionRange().right, 8);
    ed.SetSelectionMode(smNormal);
    ed.Caret().SetSelMove(true);
  }
  ed.SetReadOnly(false);

  // Manual drag mode: pressing inside keeps the selection, moving extends
  // it from its anchor.
  ed.Caret().SetSelDragMode(dmManual);
  Load("abc def ghi");
  ed.SetSelLength(3);
  Drag(0, 1, 0, 6);
  EXPECT_EQ(Show(), "[abc de]f ghi");
}

TEST_F(EditorInput, LeftMarginSelectsWholeRows) {
  const int margin = 5;
  Load("aa\nbb\ncc\n");
  ed.MouseDown(mbLeft, ssLeft, margin, Y(1));
  EXPECT_TRUE(ed.RowSelecting());
  EXPECT_EQ(Show(), "aa\n[bb\n]cc\n");
  EXPECT_EQ(ed.Row(), 1);
  EXPECT_EQ(ed.Col(), 0);
  ed.MouseMove(ssLeft, margin, Y(2));
  EXPECT_EQ(Show(), "aa\n[bb\ncc\n]");
  ed.MouseMove(ssLeft, margin, Y(0));
  EXPECT_EQ(Show(), "[aa\nbb\n]cc\n");
  ed.MouseMove(ssLeft, margin, Y(1));
  EXPECT_EQ(Show(), "aa\n[bb\n]cc\n");
  ed.MouseUp(mbLeft, 0, margin, Y(1));
  EXPECT_FALSE(ed.RowSelecting());

  // The last row without line end, also when clicked below the text.
  for (int row : {1, 5}) {
    Load("aa\nbb");
    ed.MouseDown(mbLeft, ssLeft, margin, Y(row));
    EXPECT_EQ(Show(), "aa\n[bb]");
    ed.MouseMove(ssLeft, margin, Y(0));
    EXPECT_EQ(Show(), "[aa\nbb]");
    ed.MouseUp(mbLeft, 0, margin, Y(0));
  }

  ed.Caret().SetRowSelect(false);
  Load("aa\nbb");
  Click(1, 0);
  ed.MouseDown(mbLeft, ssLeft, margin, Y(0));
  ed.MouseUp(mbLeft, 0, margin, Y(0));
  EXPECT_EQ(Show(), "|aa\nbb");
}

TEST_F(EditorInput, ScrollBarsAndWheel) {
  Lines(100);
  ed.SetRowCol(4, 0);
  ed.VScroll(scLineDown);
  EXPECT_EQ(ed.TopRow(), 1);
  EXPECT_EQ(ed.Row(), 4);
  ed.Caret().SetLockScroll(true);
  ed.VScroll(scLineDown);
  EXPECT_EQ(ed.TopRow(), 2);
  EXPECT_EQ(ed.Row(), 5);
  ed.VScroll(scPageDown);
  EXPECT_EQ(ed.TopRow(), 2 + ed.VisibleRows());
  EXPECT_EQ(ed.Row(), 5 + ed.VisibleRows());
  ed.VScroll(scTop);
  EXPECT_EQ(ed.TopRow(), 0);
  EXPECT_EQ(ed.Row(), 3);
  ed.VScroll(scLineUp);  // already at the top: nothing moves
  EXPECT_EQ(ed.Row(), 3);
  ed.Caret().SetLockScroll(false);
  ed.VScroll(scTrack, 50);
  EXPECT_EQ(ed.TopRow(), 50);
  for (int pos : {1 << 30, INT_MIN}) {
    ed.VScroll(scTrack, pos);
    EXPECT_LE(ed.TopRow(), ed.MaxTopRow());
    EXPECT_GE(ed.TopRow(), 0);
  }
  ed.VScroll(scBottom);
  EXPECT_LE(ed.TopRow(), ed.MaxTopRow());

  ed.HScroll(scLineDown);
  EXPECT_EQ(ed.TopCol(), 1);
  ed.HScroll(scPageDown);
  EXPECT_EQ(ed.TopCol(), 1 + ed.VisibleCols());
  ed.HScroll(scTrack, 70000);
  EXPECT_EQ(ed.TopCol(), ed.MaxTopCol());
  ed.HScroll(scTop);
  EXPECT_EQ(ed.TopCol(), 0);
  ed.HScroll(scLineUp);
  EXPECT_EQ(ed.TopCol(), 0);

  ed.VScroll(scTrack, 20);
  EXPECT_TRUE(ed.MouseWheel(120, 0));
  EXPECT_EQ(ed.TopRow(), 19);
  ed.MouseWheel(-120, ssShift);
  EXPECT_EQ(ed.TopRow(), 19 + ed.VisibleRows());
  ed.MouseDown(mbLeft, ssLeft, X(0), Y(0));
  EXPECT_FALSE(ed.MouseWheel(120, 0));  // ignored while the button is down
  ed.MouseUp(mbLeft, 0, X(0), Y(0));

  // The thumb position of a very long row is not cut to 16 bits.
  Load(std::string(100000, 'x'));
  ed.HScroll(scTrack, 70000);
  EXPECT_EQ(ed.TopCol(), 70000);
}

// The X11 selection: a selection is offered there while it shows (its text
// made only when asked for), and a middle click pastes it at the click.
TEST_F(EditorInput, SelectionIsOfferedAndAMiddleClickPastesIt) {
  FakeClipboard primary;
  ed.SetSelectionClipboard(&primary);
  Load("abc def\nghi");
  Drag(0, 0, 0, 3);
  EXPECT_EQ(primary.writes, 1);
  Drag(0, 4, 0, 6);  // a new selection: offered again
  EXPECT_EQ(primary.writes, 2);
  ASSERT_TRUE(primary.HasText());
  EXPECT_EQ(primary.Text(), "de");
  ed.SetRowCol(0, 7);
  ed.StartSelection();
  ed.SetRowCol(1, 1);
  ed.ExtendSelection();
  EXPECT_EQ(primary.Text(), "\r\ng");  // what shows when a paste asks
  // A middle click pastes it where it lands, and the selection goes.
  ed.MouseDown(mbMiddle, ssMiddle, X(3), Y(0));
  ed.MouseUp(mbMiddle, 0, X(3), Y(0));
  EXPECT_EQ(Show(), "abc\ng| def\nghi");
  EXPECT_FALSE(primary.HasText());  // no selection, nothing offered
  // Another program's selection pastes too; a read-only editor refuses.
  primary.SetText("xy", false);
  ed.MouseDown(mbMiddle, ssMiddle, X(1), Y(2));
  EXPECT_EQ(Show(), "abc\ng def\ngxy|hi");
  ed.SetReadOnly(true);
  ed.MouseDown(mbMiddle, ssMiddle, X(0), Y(0));
  EXPECT_EQ(Text(), "abc\ng def\ngxyhi");
  ed.SetReadOnly(false);
  // Without a selection clipboard nothing is offered or pasted.
  ed.SetSelectionClipboard(nullptr);
  ed.MouseDown(mbMiddle, ssMiddle, X(0), Y(0));
  EXPECT_EQ(Text(), "abc\ng def\ngxyhi");
}

TEST_F(EditorInput, CursorKindsFollowTheMouse) {
  ed.Caret().Cursors().SetInSelCursor(crArrow);
  Load("abc def");
  ed.SetSelLength(3);
  struct Case {
    int x;
    TCursor expect;
  };
  const Case cases[] = {{3, crRightArrow}, {X(1), crArrow}, {X(5), crIBeam}};
  for (const Case& c : cases) {
    EXPECT_EQ(ed.CursorFor(c.x, Y(0)), c.expect) << c.x;
    ed.MouseMove(0, c.x, Y(0));
    EXPECT_EQ(host.cursor, c.expect) << c.x;
  }
  ed.Caret().SetAutoCursor(false);
  ed.MouseMove(0, 3, Y(0));
  EXPECT_EQ(host.cursor, crIBeam);
  EXPECT_EQ(ed.CursorKind(), 1);
}

TEST_F(EditorInput, DoubleClickKeepsTheHandlersSelection) {
  Load("abc def");
  ed.OnDblClick = [](TEditor& e) { e.SelectTokenFromCaret(); };
  ed.MouseDown(mbLeft, ssLeft, X(5), Y(0));
  ed.MouseUp(mbLeft, 0, X(5), Y(0));
  ed.DoubleClick();
  ed.MouseDown(mbLeft, ssLeft | ssDouble, X(5), Y(0));
  ed.MouseUp(mbLeft, 0, X(5), Y(0));
  EXPECT_EQ(Show(), "abc [def]");
}

TEST_F(EditorInput, InputMethodCommitIsOneEdit) {
  Load("a|b");
  ed.ImeComposition("\x93\xfa\x96\x7b\x8c\xea");  // 日本語
  EXPECT_EQ(Show(), "a\x93\xfa\x96\x7b\x8c\xea|b");
  ed.Undo();
  EXPECT_EQ(Text(), "ab");
  EXPECT_FALSE(ed.CanUndo());

  ed.SetSelStart(1);
  ed.SetSelLength(1);
  ed.ImeComposition("\x82\xa0");  // あ replaces the selection
  EXPECT_EQ(Show(), "a\x82\xa0|");
  ed.SetReadOnly(true);
  ed.ImeComposition("\x82\xa2");
  EXPECT_EQ(Text(), "a\x82\xa0");
}

TEST_F(EditorInput, CompositionWindowFollowsTheCaret) {
  Load("abcdef\nxyz");
  ed.SetRowCol(1, 2);
  const TPoint cell{ed.Margin().Left() + 2 * ed.ColWidth(), ed.Margin().Top() + ed.RowHeight()};
  EXPECT_EQ(ed.ImeCompositionPos(), cell);
  EXPECT_EQ(host.compositionPos, cell);
  // While a key repeats the window waits for the key's release.
  ed.KeyDown(vkRight, 0, true);
  EXPECT_EQ(host.compositionPos, cell);
  ed.KeyUp(vkRight, 0);
  EXPECT_EQ(host.compositionPos, ed.ImeCompositionPos());
  EXPECT_NE(host.compositionPos, cell);

  EXPECT_TRUE(host.caretVisible);
  ed.ImeCandidateWindow(true);
  ed.ImeCandidateWindow(true);
  EXPECT_FALSE(host.caretVisible);
  ed.ImeCandidateWindow(false);
  EXPECT_TRUE(host.caretVisible);
}

}  // namespace
}  // namespace yk::test
