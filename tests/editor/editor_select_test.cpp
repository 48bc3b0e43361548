// TEditor selection, clipboard, box paste, word jumps, tokens and the
// edit-control messages.
#include <gtest/gtest.h>

#include <limits>

#include "editor_fixture.h"

namespace yk::test {
namespace {

using EditorSelect = EditorTest;

// Selects from the caret to (row, col) as Shift+arrow keys would.
void SelectTo(TEditor& e, int row, int col) {
  if (!e.Selected()) e.StartSelection();
  e.SetRowCol(row, col);
  e.ExtendSelection();
}

TEST_F(EditorSelect, StreamSelectionOffsetsAndText) {
  Load("ab\ncdef\ngh");
  struct Case {
    int fromRow, fromCol, toRow, toCol;
    std::int64_t start, length;
    const char* text;
  };
  const Case cases[] = {
      {0, 1, 0, 2, 1, 1, "b"},
      {0, 2, 0, 1, 1, 1, "b"},                // backwards on one row
      {0, 1, 1, 2, 1, 5, "b\r\ncd"},
      {1, 2, 0, 1, 1, 5, "b\r\ncd"},          // anchor below the caret
      {0, 0, 2, 2, 0, 12, "ab\r\ncdef\r\ngh"},
      {0, 2, 1, 0, 2, 2, "\r\n"},
  };
  for (const Case& c : cases) {
    ed.CancelSelection();
    ed.SetRowCol(c.fromRow, c.fromCol);
    SelectTo(ed, c.toRow, c.toCol);
    EXPECT_EQ(ed.SelStart(), c.start) << c.text;
    EXPECT_EQ(ed.SelLength(), c.length) << c.text;
    EXPECT_EQ(ed.SelText(), c.text);
  }
}

TEST_F(EditorSelect, SelStartAndSelLengthSelectByOffset) {
  Load("ab\ncdef\ngh\n");
  ed.SetSelStart(5);
  ed.SetSelLength(6);
  EXPECT_EQ(ed.SelText(), "def\r\ng");
  EXPECT_EQ(ed.Row(), 2);
  EXPECT_EQ(ed.Col(), 1);
  ed.SetSelLength(0);  // back to the start, nothing selected
  EXPECT_FALSE(ed.Selected());
  EXPECT_EQ(ed.SelStart(), 5);
  ed.SelectAll();
  EXPECT_EQ(ed.SelText(), ed.Lines().GetTextStr());
  EXPECT_EQ(ed.Row(), 3);
  ed.SetSelectionMode(smBox);
  ed.SetSelLength(2);  // a length always selects a stream
  EXPECT_EQ(ed.SelectionMode(), smNormal);
  Load("");
  ed.SetSelLength(3);
  EXPECT_FALSE(ed.Selected());
  ed.SelectAll();
  EXPECT_EQ(ed.SelText(), "");
}

// Lengths and message arguments far past the document select to its end
// instead of overflowing into a wrong (or negative) offset.
TEST_F(EditorSelect, HugeLengthsSelectToTheEnd) {
  const std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  const std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  struct Case {
    std::int64_t start, end;
    const char* shown;
  } cases[] = {
      {2, kMax, "ab[\ncd]"},
      {kMax, 2, "ab[\ncd]"},
      {kMin, 3, "[ab\ncd]"},
      {kMin, kMax, "[ab\ncd]"},
  };
  for (const Case& c : cases) {
    Load("ab\ncd");
    ed.Perform(emSetSel, c.start, c.end);
    EXPECT_EQ(Show(), c.shown) << c.start << " " << c.end;
  }
  Load("ab\ncd");
  ed.SetSelStart(1);
  ed.SetSelLength(kMax);
  EXPECT_EQ(Show(), "a[b\ncd]");
}

TEST_F(EditorSelect, DeletingOrTypingOverASelection) {
  Load("ab\ncdef\ngh");
  ed.SetRowCol(0, 1);
  SelectTo(ed, 1, 2);
  ed.DeleteSelection();
  EXPECT_EQ(Show(), "a|ef\ngh");
  ed.SetRowCol(0, 1);
  SelectTo(ed, 1, 1);
  ed.KeyChar('X');
  EXPECT_EQ(Show(), "aX|h");
  ed.SelectAll();
  ed.DeleteSelection();
  EXPECT_EQ(ed.RowCount(), 0);
  Load("ab\ncd\n");
  ed.SetRowCol(1, 1);
  SelectTo(ed, 2, 0);  // through the final line end
  ed.SetSelTextBuf("Z");
  EXPECT_EQ(Show(), "ab\ncZ|");
}

TEST_F(EditorSelect, BoxSelection) {
  // Columns 2 and 3 of: "abcdefg"; "a" + あい (あ cut by the left edge and
  // left out, い cut by the right edge and taken whole); "ab" + a tab that
  // covers columns 2-7 (taken whole); "0123456789".
  Load("abcdefg\na\x82\xa0\x82\xa2xyz\nab\tcd\n0123456789");
  ed.SetSelectionMode(smBox);
  ed.SetRowCol(0, 2);
  SelectTo(ed, 3, 4);
  EXPECT_EQ(ed.SelText(), "cd\r\n\x82\xa2\r\n\t\r\n23\r\n");
  EXPECT_EQ(ed.SelLength(), 2 + 2 + 2 + 2 + 1 + 2 + 2 + 2);
  ed.CopyToClipboard();
  EXPECT_EQ(clip.text, ed.SelText());
  EXPECT_TRUE(clip.box);
  ed.DeleteSelection();
  EXPECT_EQ(Show(), "ab|efg\na\x82\xa0xyz\nabcd\n01456789");

  // Typing over a box puts the text into its first row only.
  Load("abcd\nefgh");
  ed.SetRowCol(0, 1);
  SelectTo(ed, 1, 3);
  ed.InsertText("X");
  EXPECT_EQ(Show(), "aX|d\neh");
  ed.SetSelectionMode(smNormal);
}

TEST_F(EditorSelect, PasteAsBox) {
  Load("abc\ndef\nghi");
  ed.SetRowCol(0, 1);
  ed.PasteAsBox("12\r\n34\r\n");
  EXPECT_EQ(Text(), "a12bc\nd34ef\nghi");
  EXPECT_EQ(ed.Row(), 1);
  EXPECT_EQ(ed.Col(), 3);

  // At the last row: new rows start with Col spaces and the document ends
  // with a line end.
  Load("abc\nxy");
  ed.SetRowCol(1, 1);
  ed.PasteAsBox("1\n2\n3");
  EXPECT_EQ(Text(), "abc\nx1y\n 2\n 3\n");
  EXPECT_EQ(ed.Row(), 3);

  // Rows shorter than the column are padded; a double-byte character cut
  // by the column is passed over.
  Load("a\n\x82\xa0z\nabcdef");
  ed.SetRowCol(0, 1);
  ed.StartSelection();
  ed.SetCol(1);
  ed.PasteAsBox("P\nQ\nR");
  EXPECT_EQ(Text(), "aP\n\x82\xa0Qz\naRbcdef\n");  // the last row gained a line end
  Load("abcd\nefgh\nijkl");
  ed.SetSelectionMode(smBox);
  ed.SetRowCol(0, 1);
  SelectTo(ed, 1, 3);
  ed.PasteAsBox("X\nY\nZ");  // replaces the box, the third line goes below
  EXPECT_EQ(Text(), "aXd\neYh\niZjkl\n");
  ed.SetSelectionMode(smNormal);

  // A stream selection over several rows is replaced as one row.
  Load("abcd\nefgh\nijkl\nmnop");
  ed.SetRowCol(0, 2);
  SelectTo(ed, 1, 2);
  ed.PasteAsBox("1\n2");
  EXPECT_EQ(Text(), "ab1gh\nij2kl\nmnop");
}

TEST_F(EditorSelect, ClipboardRoundTrips) {
  Load("abc\ndef");
  ed.SetRowCol(0, 1);
  SelectTo(ed, 1, 1);
  ed.CutToClipboard();
  EXPECT_EQ(clip.text, "bc\r\nd");
  EXPECT_FALSE(clip.box);
  EXPECT_EQ(Show(), "a|ef");
  ed.PasteFromClipboard();
  EXPECT_EQ(Show(), "abc\nd|ef");

  Load("abc\ndef\nghi");
  ed.SetSelectionMode(smBox);
  ed.SetRowCol(0, 0);
  SelectTo(ed, 1, 1);
  ed.CopyToClipboard();
  ed.SetSelectionMode(smNormal);
  ed.CancelSelection();
  ed.SetRowCol(1, 3);
  ed.PasteFromClipboard();  // the box marker makes a rectangle of it
  EXPECT_EQ(Text(), "abc\ndefa\nghid\n");

  clip.hasText = false;
  clip.text.clear();
  Load("abc|");
  ed.PasteFromClipboard();
  EXPECT_EQ(Text(), "abc");

  // Without a clipboard the copy cannot be made, so cut keeps the text.
  ed.SetClipboard(nullptr);
  ed.SetRowCol(0, 0);
  SelectTo(ed, 0, 2);
  ed.CutToClipboard();
  EXPECT_EQ(Show(), "[ab]c");
}

TEST_F(EditorSelect, SelectionEventsAndMode) {
  Load("abc\ndef");
  std::vector<bool> events;
  int modeChanges = 0;
  ed.OnSelectionChange = [&](TEditor&, bool s) { events.push_back(s); };
  ed.OnSelectionModeChange = [&](TEditor&) { ++modeChanges; };
  SelectTo(ed, 0, 2);
  SelectTo(ed, 1, 1);
  ed.CancelSelection();
  EXPECT_EQ(events, (std::vector<bool>{true, true, false}));
  ed.SetSelectionMode(smBox);
  ed.SetSelectionMode(smBox);
  EXPECT_EQ(modeChanges, 1);
  ed.SetSelectionMode(smNormal);
}

TEST_F(EditorSelect, NextWordPos) {
  Load("foo, bar_baz  qux\nnext line\n");
  struct Case {
    int row, col, direction;
    bool moved;
    int toRow, toCol;
  };
  const Case cases[] = {
      {0, 0, 1, true, 0, 5},     // "," is a symbol: no stop
      {0, 5, 1, true, 0, 14},
      {0, 14, 1, true, 0, 17},   // no token after: the row's end
      {0, 17, 1, true, 1, 0},    // from the end: the next row's first word
      {0, 14, -1, true, 0, 5},
      {0, 3, -1, true, 0, 0},
      {1, 0, -1, true, 0, 17},   // stops at the line end above
      {0, 0, -1, false, 0, 0},
      {2, 0, 1, false, 2, 0},
      {5, 0, 1, false, 5, 0},
  };
  for (const Case& c : cases) {
    int r = c.row, col = c.col;
    EXPECT_EQ(ed.NextWordPos(r, col, c.direction), c.moved) << c.row << "," << c.col << " " << c.direction;
    EXPECT_EQ(r, c.toRow) << c.row << "," << c.col;
    EXPECT_EQ(col, c.toCol) << c.row << "," << c.col;
  }
}

TEST_F(EditorSelect, TokenUnderAPointOrTheCaret) {
  Load("foo  12345 \x82\xa0\x82\xa2\nend");  // foo  12345 あい / end
  const auto pointAt = [&](int row, int col) {
    return TPoint{ed.Margin().Left() + col * ed.ColWidth(), ed.Margin().Top() + row * ed.RowHeight()};
  };
  std::string text;
  TEditorTokenKind kind;
  EXPECT_TRUE(ed.GetTokenAt(pointAt(0, 7), text, kind));
  EXPECT_EQ(text, "12345");
  EXPECT_EQ(kind, toInteger);
  EXPECT_FALSE(ed.GetTokenAt(pointAt(0, 3), text, kind));  // a blank
  EXPECT_FALSE(ed.GetTokenAt(pointAt(0, 40), text, kind));
  EXPECT_FALSE(ed.GetTokenAt(pointAt(5, 0), text, kind));
  EXPECT_FALSE(ed.GetTokenAt({0, 0}, text, kind));
  ed.SetRowCol(0, 1);
  EXPECT_EQ(ed.TokenStringFromCaret(), "foo");
  ed.SelectTokenAt(pointAt(0, 12));  // the trail byte of あ
  EXPECT_EQ(ed.SelText(), "\x82\xa0\x82\xa2");
  EXPECT_EQ(ed.SelStart(), 11);
}

TEST_F(EditorSelect, EditControlMessages) {
  Load("ab\ncdef\ngh");
  EXPECT_EQ(ed.Perform(emGetLineCount), 3);
  EXPECT_EQ(ed.Perform(emLineIndex, 1), 4);
  EXPECT_EQ(ed.Perform(emLineIndex, 3), -1);
  EXPECT_EQ(ed.Perform(emLineFromChar, 5), 1);
  EXPECT_EQ(ed.Perform(emLineFromChar, 99), 3);
  EXPECT_EQ(ed.Perform(emLineLength, 5), 4);
  std::string buffer;
  EXPECT_EQ(ed.Perform(emGetLine, 1, 2, &buffer), 2);
  EXPECT_EQ(buffer, "cd");
  EXPECT_EQ(ed.Perform(emGetLine, 7, 10, &buffer), 0);
  ed.Perform(emSetSel, 6, 4);
  std::int64_t start = 0, end = 0;
  EXPECT_EQ(ed.Perform(emGetSel, 0, 0, nullptr, &start, &end), 4 | (6 << 16));
  EXPECT_EQ(start, 4);
  EXPECT_EQ(end, 6);
  EXPECT_EQ(ed.SelText(), "cd");
  ed.Perform(emSetSel, -1, 0);
  EXPECT_FALSE(ed.Selected());
  clip.SetText("keep", false);
  ed.Perform(emCopy);  // nothing selected: the clipboard is emptied
  EXPECT_EQ(clip.text, "");
  ed.Perform(emSetSel, 0, -1);
  EXPECT_EQ(ed.SelLength(), ed.Perform(emGetTextLength));
  EXPECT_EQ(ed.Perform(emGetText, 5, 0, &buffer), 4);  // room for a terminating zero
  EXPECT_EQ(buffer, "ab\r\n");
  buffer = "new";
  ed.Perform(emReplaceSel, 0, 0, &buffer);
  EXPECT_EQ(Text(), "new");
  EXPECT_EQ(ed.Perform(emCanUndo), 1);
  EXPECT_EQ(ed.Perform(emUndo), 1);
  ed.Perform(emEmptyUndoBuffer);
  EXPECT_EQ(ed.Perform(emUndo), 0);
  EXPECT_EQ(ed.Perform(emCharFromPos, -1, 5), -1);
  EXPECT_EQ(ed.Perform(emCharFromPos, (std::int64_t{1} << 32) + 30, 5), -1);  // not point (30, 5)
}

}  // namespace
}  // namespace yk::test
