// Painting of the editor control through a surface that keeps what lands on
// every pixel (token colours, selection pieces, marks, underline, long
// rows), and what an edit or a selection change has repainted.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "editor_fixture.h"

namespace yk::test {
namespace {

constexpr TColor kUnpainted = 0x123456;

// What landed on one pixel: the background, a line, and for the pixel in
// the middle of a byte's cell the byte drawn there with its colour and style.
struct Pixel {
  TColor bk = kUnpainted;
  TColor line = clNone;
  char ch = 0;
  TColor fg = clNone;
  std::uint8_t style = 0;
};

// A surface that keeps pixels; a text run fills (unless transparent) only
// its cells, one font height high, inside the clip, as the port's does.
class PixelSurface : public TSurface {
 public:
  PixelSurface(int width, int height, int fontHeight)
      : width_(width), height_(height), font_height_(fontHeight), pixels_(static_cast<std::size_t>(width * height)) {}

  void FillRect(const TRect& r, TColor color) override {
    const TRect c = r.Intersect({0, 0, width_, height_});
    for (int y = c.top; y < c.bottom; ++y)
      for (int x = c.left; x < c.right; ++x) At(x, y) = Pixel{color};
  }
  void TextRun(int x, int y, int cellWidth, std::string_view bytes, TColor color, TColor bkColor, TFontStyles style,
               const TRect& clip) override {
    longest = std::max(longest, bytes.size());
    ++runs;
    const TRect c = clip.Intersect({0, 0, width_, height_});
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      const int left = x + static_cast<int>(i) * cellWidth;
      if (bkColor != clNone) FillRect(TRect{left, y, left + cellWidth, y + font_height_}.Intersect(c), bkColor);
      const TPoint mid{left + cellWidth / 2, y + font_height_ / 2};
      if (!c.Contains(mid)) continue;
      Pixel& p = At(mid.x, mid.y);
      p.ch = bytes[i];
      p.fg = color;
      p.style = style.Bits();
    }
  }
  void Line(int x1, int y1, int x2, int y2, TColor color) override {
    const int n = std::max(std::abs(x2 - x1), std::abs(y2 - y1));
    for (int t = 0; t < n; ++t) {
      const int x = x1 + (x2 - x1) * t / n, y = y1 + (y2 - y1) * t / n;
      if (x >= 0 && x < width_ && y >= 0 && y < height_) At(x, y).line = color;
    }
  }
  Pixel& At(int x, int y) { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }
  void Reset() { std::fill(pixels_.begin(), pixels_.end(), Pixel{}); }

  std::size_t longest = 0;
  int runs = 0;

 private:
  int width_, height_, font_height_;
  std::vector<Pixel> pixels_;
};

class PaintTest : public EditorTest {
 protected:
  // 40 columns by 10 rows of 8 by 16 pixel cells.
  PaintTest() : surface(kWidth, kHeight, 16) {
    host.size = {kWidth, kHeight};
    ed.Resized();
  }
  static constexpr int kWidth = 19 + 8 * 40 + 4;
  static constexpr int kHeight = 2 + 16 * 10 + 5;

  void PaintAll() {
    surface.Reset();
    ed.Paint(surface, {0, 0, kWidth, kHeight});
  }
  int X(int col) { return ed.Margin().Left() + (col - ed.TopCol()) * ed.ColWidth(); }
  int Y(int row) { return ed.Margin().Top() + (row - ed.TopRow()) * ed.RowHeight(); }
  // The middle of a screen cell, where the surface keeps the byte drawn.
  Pixel& Cell(int row, int col) { return surface.At(X(col) + ed.ColWidth() / 2, Y(row) + ed.FontHeight() / 2); }
  std::string Text(int row, int col, int n) {
    std::string s;
    for (int c = col; c < col + n; ++c) s += Cell(row, c).ch ? Cell(row, c).ch : ' ';
    return s;
  }
  // 'S' for a cell on the selection background, '.' otherwise.
  std::string SelectedCells(int row, int n) {
    std::string s;
    for (int c = 0; c < n; ++c) s += Cell(row, c).bk == clNavy ? 'S' : '.';
    return s;
  }
  TEditorColors& Colors() { return ed.View().Colors(); }

  PixelSurface surface;
};

// --- colours ---------------------------------------------------------------------

TEST_F(PaintTest, TokensTakeTheColourOfTheirKindAndReservedWordsComeFirst) {
  Colors().Ank().SetColor(clRed);
  Colors().Reserve().SetColor(clBlue);
  Colors().Reserve().SetStyle({fsBold});
  Colors().Str().SetColor(clGreen);
  Colors().Int().SetColor(clMaroon);
  Colors().Symbol().SetColor(clPurple);
  Colors().DBCS().SetColor(clTeal);
  Colors().DBCS().SetBkColor(clYellow);
  Colors().Comment().SetColor(clGray);
  ed.View().SetQuotation("\"");
  ed.View().SetCommenter(";");
  ed.SetReserveWordList(TReserveWordList({"if", "\x82\xa0"}));  // あ
  ed.Caret().SetTabSpaceCount(4);
  Load(
      "IF \"if\" 12 x+\x82\xa2 ;if\n"  // IF "if" 12 x+い ;if
      "\tz \x82\xa0");                 // tab z あ
  PaintAll();
  struct Case {
    int row, col;
    char ch;
    TColor fg, bk;
    std::uint8_t style;
  } cases[] = {
      {0, 0, 'I', clBlue, clWindow, 1},       {0, 1, 'F', clBlue, clWindow, 1},   // reserved, case ignored
      {0, 3, '"', clGreen, clWindow, 0},      {0, 4, 'i', clGreen, clWindow, 0},  // inside a string: a string
      {0, 8, '1', clMaroon, clWindow, 0},     {0, 11, 'x', clRed, clWindow, 0},
      {0, 12, '+', clPurple, clWindow, 0},    {0, 13, '\x82', clTeal, clYellow, 0},
      {0, 16, ';', clGray, clWindow, 0},      {0, 17, 'i', clGray, clWindow, 0},       // inside a comment
      {0, 2, ' ', clWindowText, clWindow, 0}, {1, 0, ' ', clWindowText, clWindow, 0},  // tab: the editor's own
      {1, 4, 'z', clRed, clWindow, 0},        {1, 6, '\x82', clBlue, clWindow, 1},     // reserved double-byte word
  };
  for (const Case& c : cases) {
    const Pixel& p = Cell(c.row, c.col);
    SCOPED_TRACE(testing::Message() << "row " << c.row << " col " << c.col);
    EXPECT_EQ(p.ch, c.ch);
    if (c.ch) {
      EXPECT_EQ(p.fg, c.fg);
    }
    EXPECT_EQ(p.bk, c.bk);
    EXPECT_EQ(p.style, c.style);
  }
}

TEST_F(PaintTest, BracketPairColoursRowsUntilItCloses) {
  TEditorBracketCollection brackets;
  TEditorBracketItem& pair = brackets.Add();
  pair.SetLeftBracket("/*");
  pair.SetRightBracket("*/");
  pair.ItemColor().SetColor(clOlive);
  ed.View().SetBrackets(brackets);
  Colors().Ank().SetColor(clRed);
  Load("a /* b\nc */ d\ne");
  PaintAll();
  EXPECT_EQ(Cell(0, 0).fg, clRed);
  for (int col : {2, 5}) EXPECT_EQ(Cell(0, col).fg, clOlive) << col;
  for (int col : {0, 3}) EXPECT_EQ(Cell(1, col).fg, clOlive) << col;
  EXPECT_EQ(Cell(1, 5).fg, clRed);
  EXPECT_EQ(Cell(2, 0).fg, clRed);

  // Closing the pair on its first row gives the rows below their own colours.
  ed.SetRowCol(0, 6);
  ed.InsertText("*/");
  PaintAll();
  EXPECT_EQ(Cell(1, 0).fg, clRed);
  EXPECT_EQ(Cell(1, 2).fg, clWindowText);
}

TEST_F(PaintTest, ATokenAcrossAWrapPointIsOneTokenAndStaysInItsRows) {
  Colors().Str().SetColor(clGreen);
  Colors().Ank().SetColor(clRed);
  ed.View().SetQuotation("\"");
  ed.WrapOption().SetWrapByte(20);
  ed.SetWordWrap(true);
  Load("aaaaaaaaaaaaaaaa\"bbbbbbbbbbbb\" c");
  ASSERT_EQ(ed.RowText(0), "aaaaaaaaaaaaaaaa\"bbb");
  std::vector<TDrawLineInfo> calls;
  std::vector<std::string> texts;
  ed.OnDrawLine = [&](TEditor& e, const TDrawLineInfo& info) {
    EXPECT_EQ(e.Canvas(), &surface);
    calls.push_back(info);
    texts.emplace_back(info.lineStr);
  };
  PaintAll();
  EXPECT_EQ(Cell(0, 0).fg, clRed);
  for (int col : {16, 19}) EXPECT_EQ(Cell(0, col).fg, clGreen) << col;
  EXPECT_EQ(Text(0, 19, 3), "b  ");  // the next row's text is not drawn here
  for (int col : {0, 9}) EXPECT_EQ(Cell(1, col).fg, clGreen) << col;
  EXPECT_EQ(Cell(1, 11).fg, clRed);

  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(texts[0], "aaaaaaaaaaaaaaaa\"bbbbbbbbbbbb\" c");
  EXPECT_EQ(calls[0].rect.right, X(20));
  EXPECT_EQ(texts[1], texts[0]);  // the row above in front, moved left by its width
  EXPECT_EQ(calls[1].x, X(-20));
  EXPECT_EQ(calls[1].index, 1);
  EXPECT_EQ(ed.Canvas(), nullptr);
}

TEST_F(PaintTest, ItalicStylesDrawEveryTokenOverAClearedRow) {
  Colors().Str().SetStyle({fsItalic});
  Colors().Int().SetBkColor(clYellow);
  ed.View().SetQuotation("\"");
  EXPECT_TRUE(ed.ItalicMode());
  Load("ab \"s\" 7");
  RecordingSurface rec;
  ed.Paint(rec, {X(0), Y(0), kWidth, Y(1)});
  // The row is cleared, then each token drawn: transparent where its
  // background is the editor's, opaque where it is not.
  const auto fill =
      std::find(rec.calls.begin(), rec.calls.end(),
                "fill " + RecordingSurface::Rect({X(0), Y(0), kWidth, Y(0) + 16}) + " " + std::to_string(clWindow));
  ASSERT_NE(fill, rec.calls.end());
  std::vector<std::string> runs;
  for (auto it = fill; it != rec.calls.end(); ++it)
    if (it->rfind("text", 0) == 0) runs.push_back(it->substr(0, it->find(" [")));
  EXPECT_EQ(runs, (std::vector<std::string>{
                      "text 19,2 w8 \"ab\" " + std::to_string(clWindowText) + "/" + std::to_string(clNone) + " s0",
                      "text 43,2 w8 \"\"s\"\" " + std::to_string(clWindowText) + "/" + std::to_string(clNone) + " s2",
                      "text 75,2 w8 \"7\" " + std::to_string(clWindowText) + "/" + std::to_string(clYellow) + " s0"}));
}

// --- selection ---------------------------------------------------------------------

TEST_F(PaintTest, NormalSelectionSplitsRowsIntoPieces) {
  Load("abcdef\nghijkl\nmnopqr\n");
  std::vector<std::pair<int, bool>> pieces;
  ed.OnDrawLine = [&](TEditor&, const TDrawLineInfo& info) { pieces.emplace_back(info.index, info.selected); };
  ed.SetSelStart(2);
  ed.SetSelLength(4 + 2 + 6 + 2 + 3);  // "cdef", "ghijkl", "mno"
  PaintAll();
  EXPECT_EQ(SelectedCells(0, 12), "..SSSSSSSSSS");  // to the right edge
  EXPECT_EQ(SelectedCells(1, 12), "SSSSSSSSSSSS");
  EXPECT_EQ(SelectedCells(2, 12), "SSS.........");
  EXPECT_EQ(SelectedCells(3, 12), "............");
  EXPECT_EQ(Cell(0, 2).fg, clWhite);
  EXPECT_EQ(Cell(0, 1).fg, clWindowText);
  EXPECT_EQ(pieces, (std::vector<std::pair<int, bool>>{{0, false}, {0, true}, {1, true}, {2, true}, {2, false}}));

  pieces.clear();
  ed.SetSelStart(8 + 1);
  ed.SetSelLength(2);
  PaintAll();
  EXPECT_EQ(SelectedCells(1, 8), ".SS.....");
  EXPECT_EQ(pieces, (std::vector<std::pair<int, bool>>{{0, false}, {1, false}, {1, true}, {1, false}, {2, false}}));
}

TEST_F(PaintTest, BoxSelectionShowsTheWholeCharactersItTakes) {
  struct Case {
    int anchorCol, caretCol;
    const char* row0;
    const char* row1;
  } cases[] = {
      {2, 5, "..SSS.....", "...SS....."},  // left edge on the trail of あ: left out
      {4, 1, ".SSS......", ".SSSS....."},  // right edge on the lead of い: taken whole
  };
  for (const Case& c : cases) {
    Load(
        "abcdefghi\na\x82\xa0\x82\xa2\x82\xa4"
        "b");  // aあいうb
    ed.SetSelectionMode(smBox);
    ed.SetRowCol(0, c.anchorCol);
    ed.StartSelection();
    ed.SetRowCol(1, c.caretCol);
    ed.ExtendSelection();
    PaintAll();
    EXPECT_EQ(SelectedCells(0, 10), c.row0) << c.anchorCol;
    EXPECT_EQ(SelectedCells(1, 10), c.row1) << c.anchorCol;
    // What shows selected is what the box holds.
    std::string shown;
    for (int row = 0; row < 2; ++row) {
      for (int col = 0; col < 10; ++col)
        if (Cell(row, col).bk == clNavy) shown += Cell(row, col).ch;
      shown += "\r\n";
    }
    EXPECT_EQ(shown, ed.SelText());
    ed.CancelSelection();
    ed.SetSelectionMode(smNormal);
  }
}

// --- marks ---------------------------------------------------------------------------

TEST_F(PaintTest, EofMarkFollowsTheLastLine) {
  ed.Marks().EofMark().SetVisible(true);
  ed.Marks().EofMark().SetColor(clRed);
  ed.Marks().RetMark().SetVisible(true);
  struct Case {
    const char* text;
    int row, col;
  } cases[] = {{"", 0, 0}, {"ab\n", 1, 0}, {"ab", 0, 2}, {"ab\ncd", 1, 2}};
  for (const Case& c : cases) {
    Load(c.text);
    PaintAll();
    EXPECT_EQ(Text(c.row, c.col, 5), "[EOF]") << c.text;
    EXPECT_EQ(Cell(c.row, c.col).fg, clRed) << c.text;
    EXPECT_EQ(Cell(c.row, c.col).bk, clWindow) << c.text;
    // No return mark where the EOF mark stands.
    EXPECT_EQ(surface.At(X(c.col) + 4, Y(c.row) + 8).line, clNone) << c.text;
  }
}

TEST_F(PaintTest, ReturnMarksFollowLineEndsInTheirColours) {
  ed.Marks().RetMark().SetVisible(true);
  ed.Marks().RetMark().SetColor(clRed);
  Load("ab\ncde\nf");
  PaintAll();
  // A downward arrow in the cell after the line: its stem and its tip.
  auto stem = [&](int row, int col) { return surface.At(X(col) + 4, Y(row) + 8).line; };
  auto tip = [&](int row, int col) { return surface.At(X(col) + 4 + 2, Y(row) + 16 - 4 - 2).line; };
  EXPECT_EQ(stem(0, 2), clRed);
  EXPECT_EQ(tip(0, 2), clRed);
  EXPECT_EQ(stem(1, 3), clRed);
  EXPECT_EQ(stem(2, 1), clNone);  // the last line has no line end
  ed.SelectAll();
  PaintAll();
  EXPECT_EQ(stem(0, 2), clWhite);
  EXPECT_EQ(Cell(0, 2).bk, clNavy);
  // Scrolled so that the mark's cell lies in the left margin: not drawn.
  ed.CancelSelection();
  ed.SetTopCol(3);
  PaintAll();
  EXPECT_EQ(surface.At(X(2) + 4, Y(0) + 8).line, clNone);
}

TEST_F(PaintTest, UnderlineMarksTheCaretRowUnlessASelectionShows) {
  const int rowsBefore = ed.VisibleRows();
  ed.Marks().Underline().SetColor(clRed);
  ed.Marks().Underline().SetVisible(true);
  EXPECT_EQ(ed.RowHeight(), 17);
  EXPECT_EQ(ed.VisibleRows(), (kHeight - 2 - 5) / 17);
  EXPECT_NE(ed.VisibleRows(), rowsBefore);
  Load("ab\ncd\nef\n");
  auto underline = [&](int row) { return surface.At(X(1), Y(row) + 16).line; };
  ed.SetRowCol(1, 1);
  PaintAll();
  EXPECT_EQ(underline(1), clRed);
  EXPECT_EQ(underline(0), clNone);
  EXPECT_EQ(surface.At(kWidth - 1, Y(1) + 16).line, clRed);  // to the right edge
  ed.SetRowCol(2, 0);
  PaintAll();
  EXPECT_EQ(underline(1), clNone);
  EXPECT_EQ(underline(2), clRed);
  ed.StartSelection();
  ed.SetCol(2);
  ed.ExtendSelection();
  PaintAll();
  EXPECT_EQ(underline(2), clNone);
  EXPECT_EQ(surface.At(X(1), Y(2) + 16).bk, clNavy);  // the band covers the underline's row
  ed.CancelSelection();
  PaintAll();
  EXPECT_EQ(underline(2), clRed);
}

TEST_F(PaintTest, AFullPaintCoversEveryPixel) {
  ed.Margin().SetLine(3);
  ed.Margin().SetTop(7);
  ed.Marks().Underline().SetVisible(true);
  Load(
      "ab\n\tc\n"
      "\x82\xa0");
  ed.SelectAll();
  PaintAll();
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) ASSERT_NE(surface.At(x, y).bk, kUnpainted) << x << "," << y;
}

// --- long rows ----------------------------------------------------------------------------

TEST_F(PaintTest, ALongRowSendsOnlyItsVisibleCells) {
  std::string row;
  for (int i = 0; i < 400000; ++i)
    row +=
        "ab\x82\xa0"
        "c";  // abあc
  Load(row);
  PaintAll();
  EXPECT_EQ(Text(0, 0, 5),
            "ab\x82\xa0"
            "c");
  EXPECT_LE(surface.longest, 42u);

  // Far to the right, on an odd column: the first visible cell is the trail
  // byte of あ, which is drawn whole from the cell before.
  ed.SetRowCol(0, 1000001);
  ed.SetTopCol(1000003);
  ASSERT_EQ(ed.TopCol(), 1000003);
  RecordingSurface rec;
  ed.Paint(rec, {0, 0, kWidth, kHeight});
  const std::string first = "text " + std::to_string(X(1000002)) +
                            ",2 w8 \"\x82\xa0"
                            "cab";
  EXPECT_TRUE(std::any_of(rec.calls.begin(), rec.calls.end(), [&](const std::string& c) {
    return c.rfind(first, 0) == 0;
  })) << rec.calls[1];
  for (const std::string& c : rec.calls) EXPECT_LT(c.size(), 150u);
}

// Any bytes, any view and any selection: painting stays inside the text
// (run under the address sanitizer in CI) and covers what it is asked to.
TEST_F(PaintTest, AnyBytesPaintInsideTheirRows) {
  std::mt19937 random(7);
  const char alphabet[] = {'a', ' ', '\t', '"', '/', '*', '\x81', '\x82', '\xa0', '\xe0', '\xfc', '\x00', '\r', '\n'};
  TEditorBracketCollection brackets;
  brackets.Add().SetLeftBracket("/*");
  brackets.Items(0).SetRightBracket("*/");
  ed.View().SetBrackets(brackets);
  ed.View().SetQuotation("\"");
  ed.Marks().EofMark().SetVisible(true);
  ed.Marks().RetMark().SetVisible(true);
  for (int round = 0; round < 60; ++round) {
    std::string text;
    for (int i = 0, n = static_cast<int>(random() % 400); i < n; ++i) text += alphabet[random() % sizeof alphabet];
    ed.SetWordWrap(round % 3 == 0);
    ed.View().Colors().Str().SetStyle(round % 4 == 1 ? TFontStyles{fsItalic} : TFontStyles{});
    Load(text);
    ed.SetSelectionMode(round % 2 ? smBox : smNormal);
    ed.SetRowCol(static_cast<int>(random() % 8), static_cast<int>(random() % 50));
    ed.StartSelection();
    ed.SetRowCol(static_cast<int>(random() % 8), static_cast<int>(random() % 50));
    ed.ExtendSelection();
    ed.SetTopCol(static_cast<int>(random() % 30));
    PaintAll();
    const int x = static_cast<int>(random() % kWidth), y = static_cast<int>(random() % kHeight);
    ed.Paint(surface, {x, y, x + static_cast<int>(random() % 100) + 1, y + static_cast<int>(random() % 60) + 1});
    ASSERT_NE(surface.At(kWidth - 1, kHeight - 1).bk, kUnpainted) << round;
  }
}

// --- what is repainted --------------------------------------------------------------------

// Records the order of invalidations and scrolls.
class LoggingHost : public FakeHost {
 public:
  void Invalidate(const TRect& r) override {
    FakeHost::Invalidate(r);
    log.push_back({'i', r});
  }
  void ScrollArea(int dx, int dy, const TRect& clip) override {
    FakeHost::ScrollArea(dx, dy, clip);
    log.push_back({'s', clip});
  }
  std::vector<std::pair<char, TRect>> log;
};

class RepaintTest : public PaintTest {
 protected:
  RepaintTest() {
    logging.size = host.size;
    ed.SetHost(&logging);
  }
  void Clear() {
    logging.log.clear();
    logging.invalidated.clear();
    logging.scrolledY = 0;
  }
  // The rows whose bands the invalidations touched.
  std::vector<int> Rows() {
    std::vector<int> rows;
    for (const TRect& r : logging.invalidated)
      for (int row = ed.TopRow(); row <= ed.TopRow() + ed.VisibleRows(); ++row)
        if (r.top < Y(row + 1) && r.bottom > Y(row) && std::find(rows.begin(), rows.end(), row) == rows.end())
          rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    return rows;
  }
  LoggingHost logging;
};

TEST_F(RepaintTest, AnEditRepaintsItsRowsAndMovesTheRest) {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "line" + std::to_string(i) + "\n";
  Load(text);
  const int pitch = ed.RowHeight();
  TChangedRange change;
  ed.OnChange = [&](TEditor& e) { change = e.ScreenStrings().ChangedRange(); };
  // The rows the change produced, and the row after them.
  auto produced = [&] {
    std::vector<int> rows;
    for (int row = change.first; row <= change.first + change.newCount; ++row) rows.push_back(row);
    return rows;
  };
  struct Case {
    std::function<void()> edit;
    int rowsAdded;
  } cases[] = {
      {[&] { ed.KeyChar('x'); }, 0},
      {[&] { ed.ReturnKey(); }, 1},
      {[&] { ed.BackSpaceKey(); }, -1},
  };
  ed.SetRowCol(3, 2);
  for (const Case& c : cases) {
    Clear();
    c.edit();
    EXPECT_EQ(change.newCount - change.oldCount, c.rowsAdded);
    EXPECT_LE(change.first, 3);
    EXPECT_EQ(Rows(), produced());
    EXPECT_EQ(logging.scrolledY, c.rowsAdded * pitch);
  }

  // More new rows than the view shows: everything.
  Clear();
  ed.InsertText(std::string(40, '\n'));
  EXPECT_NE(std::find(logging.invalidated.begin(), logging.invalidated.end(), TRect{0, 0, kWidth, kHeight}),
            logging.invalidated.end());
}

// A view one row high may start at the empty row after the text, where the
// caret can stand; when rows go, the top row is pulled back, and the view,
// moved without a scroll, is repainted whole.
TEST_F(RepaintTest, ATopRowPulledBackRepaintsTheView) {
  logging.size = {kWidth, 2 + 16 + 5};
  ed.Resized();
  ASSERT_EQ(ed.VisibleRows(), 1);
  Load("a\nb\nc\n");
  int changes = 0;
  ed.OnTopRowChange = [&](TEditor&) { ++changes; };
  ed.SetTopRow(3);
  EXPECT_EQ(ed.TopRow(), 3);
  Clear();
  ed.ScreenStrings().ReplaceRows(1, 2, "");
  EXPECT_EQ(ed.TopRow(), 1);
  EXPECT_EQ(changes, 2);
  EXPECT_NE(std::find(logging.invalidated.begin(), logging.invalidated.end(), TRect{0, 0, kWidth, 23}),
            logging.invalidated.end());
}

TEST_F(RepaintTest, RowsRecolouredBelowAnEditAreRepaintedAfterTheyMoved) {
  TEditorBracketCollection brackets;
  brackets.Add().SetLeftBracket("/*");
  brackets.Items(0).SetRightBracket("*/");
  ed.View().SetBrackets(brackets);
  Load("a\nb\nc\nd */\ne\n");
  Clear();
  ed.SetRowCol(0, 0);
  ed.InsertText("/*\n");  // opens a pair that now covers b, c and d
  ASSERT_FALSE(logging.log.empty());
  const auto scroll = std::find_if(logging.log.begin(), logging.log.end(), [](auto& e) { return e.first == 's'; });
  ASSERT_NE(scroll, logging.log.end());
  // Row 4 (d */) changed colour: its repaint comes after the scroll.
  const auto lastRow4 = std::find_if(logging.log.rbegin(), logging.log.rend(), [&](auto& e) {
    return e.first == 'i' && e.second.top <= Y(4) && e.second.bottom >= Y(5);
  });
  ASSERT_NE(lastRow4, logging.log.rend());
  EXPECT_GT(lastRow4.base() - 1 - logging.log.begin(), scroll - logging.log.begin());
}

TEST_F(RepaintTest, SelectionChangesRepaintOnlyTheCellsThatChanged) {
  Load("abcdefghij\nabcdefghij\nabcdefghij\nabcdefghij\n");
  ed.SetSelStart(2);
  ed.SetSelLength(3);
  Clear();
  ed.SetCol(6);
  ed.ExtendSelection();
  EXPECT_EQ(logging.invalidated, (std::vector<TRect>{{X(5), Y(0), X(6), Y(1)}}));

  // A box that grows by a column repaints that column on every row.
  ed.CancelSelection();
  ed.SetSelectionMode(smBox);
  ed.SetRowCol(0, 2);
  ed.StartSelection();
  ed.SetRowCol(3, 4);
  ed.ExtendSelection();
  Clear();
  ed.SetCol(5);
  ed.ExtendSelection();
  std::vector<TRect> expect;
  for (int row = 0; row < 4; ++row) expect.push_back({X(4), Y(row), X(5), Y(row + 1)});
  EXPECT_EQ(logging.invalidated, expect);
}

}  // namespace
}  // namespace yk::test
