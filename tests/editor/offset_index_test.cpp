// The editor's offset and line answers (SelStart, SelLength, RowsToLines,
// LogicalColumn, SetCaretByOffset, the offset messages) against a plain walk
// over the rows, after random edits in two editors sharing one document.
#include <gtest/gtest.h>

#include <random>

#include "editor_fixture.h"
#include "text/cp932.h"

namespace yk::test {
namespace {

// The plain walk: where each row starts as a document offset.
std::vector<std::int64_t> RowStarts(const TEditor& e) {
  std::vector<std::int64_t> starts{0};
  for (int r = 0; r < e.RowCount(); ++r) {
    const std::int64_t end = e.RowAttribute(r) == raCrlf ? 2 : e.RowAttribute(r) == raWrapped ? 0 : 1;
    starts.push_back(starts.back() + static_cast<std::int64_t>(e.RowText(r).size()) + end);
  }
  return starts;
}

void CheckAnswers(TEditor& e, std::mt19937& rng, const std::string& where) {
  const std::vector<std::int64_t> starts = RowStarts(e);
  const int n = e.RowCount();
  // Row, caret and selection offsets.
  const int caretRow = e.Selected() ? e.SelectionRange().startRow : e.Row();
  const int caretByte = e.Selected() ? e.SelectionRange().startByte : e.LogicalColumn(e.Row(), e.Col()) -
                                                                        e.LogicalColumn(e.Row(), 0);
  ASSERT_EQ(e.SelStart(), starts[static_cast<std::size_t>(caretRow)] + caretByte) << where;
  if (e.SelectionMode() == smNormal) {
    ASSERT_EQ(e.SelLength(), static_cast<std::int64_t>(e.SelText().size())) << where;
  }
  ASSERT_EQ(e.Perform(emGetTextLength), static_cast<std::int64_t>(e.Lines().GetTextStr().size())) << where;
  // Lines before each row, and the logical column of a column of it.
  int crlfs = 0, lineStartBytes = 0;
  for (int r = 0; r <= n; ++r) {
    ASSERT_EQ(e.RowsToLines(r), e.WordWrap() ? crlfs : r) << where << " row " << r;
    ASSERT_EQ(e.Perform(emLineIndex, r), r < n ? starts[static_cast<std::size_t>(r)] : -1) << where;
    const int col = static_cast<int>(rng() % 6);
    const std::string row = e.RowText(r);
    if (col <= static_cast<int>(row.size()) && row.find('\t') == std::string::npos &&
        !(col > 0 && cp932::IsTrailAt(row, static_cast<std::size_t>(col)))) {
      ASSERT_EQ(e.LogicalColumn(r, col), lineStartBytes + col) << where << " row " << r;
    }
    if (r == n) break;
    if (e.RowAttribute(r) == raCrlf) ++crlfs;
    lineStartBytes = e.RowAttribute(r) == raWrapped ? lineStartBytes + static_cast<int>(row.size()) : 0;
  }
  // Every offset maps to the row whose text or line end holds it.
  for (int r = 0; r < n; ++r)
    for (std::int64_t o = starts[static_cast<std::size_t>(r)]; o < starts[static_cast<std::size_t>(r) + 1]; ++o)
      ASSERT_EQ(e.Perform(emLineFromChar, o), r) << where << " offset " << o;
  ASSERT_EQ(e.Perform(emLineFromChar, starts.back()), n) << where;
}

// The caret placed by offset from an anchor row lands on the row the walk
// finds, at that byte when it is a character start.
void CheckCaretByOffset(TEditor& e, std::mt19937& rng, const std::string& where) {
  const std::vector<std::int64_t> starts = RowStarts(e);
  const int n = e.RowCount();
  if (n == 0) return;
  const int anchor = static_cast<int>(rng() % static_cast<unsigned>(n));
  const std::int64_t offset = static_cast<std::int64_t>(rng() % static_cast<unsigned>(starts.back() - starts[anchor] + 3));
  const std::int64_t target = starts[static_cast<std::size_t>(anchor)] + offset;
  int row = anchor;
  while (row < n && target >= starts[static_cast<std::size_t>(row) + 1] && e.RowAttribute(row) != raEof &&
         !(row == n - 1 && e.RowAttribute(row) == raWrapped))
    ++row;
  e.CancelSelection();
  e.SetCaretByOffset(anchor, offset);
  ASSERT_EQ(e.Row(), row) << where << " anchor " << anchor << " offset " << offset;
  if (row == n) return;
  const std::string text = e.RowText(row);
  const std::int64_t byte = target - starts[static_cast<std::size_t>(row)];
  if (byte < static_cast<std::int64_t>(text.size()) && !cp932::IsTrailAt(text, static_cast<std::size_t>(byte)) &&
      text.find('\t') == std::string::npos) {
    ASSERT_EQ(e.SelStart(), target) << where;
  }
}

const char* const kPieces[] = {"a", "bc ", "\x82\xa0" /* あ */, "\t", "\r\n", "\x81\x42" /* 。 */, "0123456789"};

void RandomStep(TEditor& e, std::mt19937& rng) {
  const int rows = e.RowCount();
  std::string text;
  switch (rng() % 14) {
    case 0: e.SetWordWrap(!e.WordWrap()); break;
    case 1: e.WrapOption().SetWrapByte(e.WrapOption().WrapByte() == 20 ? 23 : 20); break;
    case 2: e.WrapOption().SetFollowRetMark(!e.WrapOption().FollowRetMark()); break;
    case 3: e.Undo(); break;
    case 4: e.Redo(); break;
    case 5: e.ReturnKey(); break;
    case 6: e.BackSpaceKey(); break;
    case 7: e.DeleteKey(); break;
    case 8:
      if (!e.Selected()) e.StartSelection();
      e.SetRowCol(static_cast<int>(rng() % static_cast<unsigned>(rows + 1)), static_cast<int>(rng() % 30));
      e.ExtendSelection();
      break;
    case 9: e.SetRowCol(static_cast<int>(rng() % static_cast<unsigned>(rows + 1)), static_cast<int>(rng() % 30)); break;
    default:
      for (int k = static_cast<int>(rng() % 6); k >= 0; --k) text += kPieces[rng() % std::size(kPieces)];
      e.InsertText(text);
  }
}

TEST(OffsetIndex, AnswersMatchAPlainWalkInTwoEditorsSharingADocument) {
  FakeHost hostA, hostB;
  TEditor a, b;
  a.SetHost(&hostA);
  b.SetHost(&hostB);
  b.ShareTextWith(a);
  a.SetUndoListMax(100000);
  a.WrapOption().SetWrapByte(20);
  for (unsigned seed : {11u, 12u, 13u}) {
    std::mt19937 rng(seed);
    a.Lines().SetTextStr("first line\r\n" + std::string(20, 'w') + "\r\nlast");
    a.SetWordWrap(seed % 2 == 1);
    for (int step = 0; step < 1200; ++step) {
      TEditor& e = step % 3 ? a : b;
      RandomStep(e, rng);
      const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      ASSERT_NO_FATAL_FAILURE(CheckAnswers(a, rng, where));
      ASSERT_NO_FATAL_FAILURE(CheckAnswers(b, rng, where + " (second editor)"));
      if (step % 5 == 0) {
        ASSERT_NO_FATAL_FAILURE(CheckCaretByOffset(e, rng, where));
      }
      if (a.RowCount() > 60) a.Lines().SetTextStr("short again\r\n");
    }
  }
}

}  // namespace
}  // namespace yk::test
