// The line index of the row list against a plain walk over the rows, after
// random edits, wrap switches, option changes, undo and redo, at several
// block sizes and with two editors sharing the rows.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "fake_editor.h"
#include "image_threshold.h"
#include "temp_dir.h"
#include "text/column_map.h"
#include "text/cp932.h"
#include "text/screen_strings.h"

namespace yk::test {
namespace {

// What the index must answer, computed by walking every row.
struct Walk {
  std::vector<TRowSums> before;  // totals before each row, and after the last
  std::vector<int> lineEndRows;
  std::vector<int> lineStarts;  // first row of each logical line
};

Walk WalkRows(const TEditorScreenStrings& rows) {
  Walk w;
  TRowSums sums;
  const int n = rows.GetCount();
  for (int r = 0; r < n; ++r) {
    w.before.push_back(sums);
    if (r == 0 || rows.GetRowAttribute(r - 1) != raWrapped) w.lineStarts.push_back(r);
    const TRowAttribute a = rows.GetRowAttribute(r);
    ++sums.rows;
    sums.bytes += static_cast<std::int64_t>(rows.RowLength(r));
    if (a != raWrapped) {
      ++sums.lineEnds;
      w.lineEndRows.push_back(r);
    }
    if (a == raCrlf) ++sums.crlfs;
    if (a == raCrlf && rows.RowLineEnd(r) != rows.LineEnds()) ++sums.otherEnds;
  }
  w.before.push_back(sums);
  return w;
}

void CheckIndex(const TEditorScreenStrings& rows, const std::string& where) {
  const Walk w = WalkRows(rows);
  const int n = rows.GetCount();
  for (int r = 0; r <= n; ++r) ASSERT_EQ(rows.SumsBefore(r), w.before[static_cast<std::size_t>(r)]) << where << " row " << r;
  for (std::size_t k = 0; k < w.lineEndRows.size(); ++k)
    ASSERT_EQ(rows.RowOfLineEnd(static_cast<std::int64_t>(k)), w.lineEndRows[k]) << where << " line end " << k;
  ASSERT_EQ(rows.RowOfLineEnd(static_cast<std::int64_t>(w.lineEndRows.size())), n) << where;
  for (int r = 0; r < n; ++r) {
    // Every offset of the row's text and line end maps back to the row.
    const std::int64_t from = w.before[static_cast<std::size_t>(r)].Offset();
    const std::int64_t to = w.before[static_cast<std::size_t>(r) + 1].Offset();
    for (std::int64_t o = from; o < to; ++o) ASSERT_EQ(rows.RowOfOffset(o), r) << where << " offset " << o;
    ASSERT_EQ(rows.FirstRowOfLine(r), *(std::upper_bound(w.lineStarts.begin(), w.lineStarts.end(), r) - 1))
        << where << " row " << r;
    auto end = std::lower_bound(w.lineEndRows.begin(), w.lineEndRows.end(), r);
    ASSERT_EQ(rows.LastRowOfLine(r), end == w.lineEndRows.end() ? n - 1 : *end) << where << " row " << r;
  }
  ASSERT_EQ(rows.RowOfOffset(w.before.back().Offset()), n) << where;
  std::int64_t widest = 0;
  for (int r = 0; r < n; ++r)
    widest = std::max<std::int64_t>(widest, LineWidth(rows.Row(r), 8, rows.WordWrap() ? rows.WrapOption().WrapByte() : 0));
  ASSERT_EQ(rows.WidestRow(), widest) << where;
  if (!rows.WordWrap()) return;
  const int lines = static_cast<int>(w.lineStarts.size());
  ASSERT_EQ(rows.LineCount(), lines) << where;
  for (int i = 0; i < lines; ++i) ASSERT_EQ(rows.LineToRow(i), w.lineStarts[static_cast<std::size_t>(i)]) << where;
  ASSERT_EQ(rows.LineToRow(lines), n) << where;
}

// The rows must be what wrapping the document's text from scratch gives:
// no empty row after a line end at the end, no raEof in the middle.
void CheckRows(FakeEditor& ed, const std::string& where) {
  TEditorScreenStrings& rows = ed.Rows();
  const std::string text = ed.lines.GetTextStr();
  if (text.empty()) return;
  FakeEditor fresh;
  fresh.Rows().WrapOption().Assign(rows.WrapOption());
  fresh.Rows().SetWordWrap(rows.WordWrap());
  fresh.lines.SetTextStr(text);
  TEditorScreenStrings& expect = fresh.Rows();
  if (text.back() != '\n') expect.SetRowAttribute(expect.GetCount() - 1, raEof);
  ASSERT_EQ(Dump(rows), Dump(expect)) << where;
}

// Text pieces, among them rows of exactly the wrap width.
std::string RandomText(std::mt19937& rng, int wrapByte) {
  static const char* const pieces[] = {"a", "bc ", "\x82\xa0" /* あ */, "\t", "\r\n", "\n", "\r", "\x81\x42" /* 。 */};
  std::string text;
  for (int k = static_cast<int>(rng() % 12); k > 0; --k) {
    if (rng() % 8 == 0)
      text += std::string(static_cast<std::size_t>(wrapByte), 'w') + (rng() % 2 ? "\r\n" : "");
    else
      text += pieces[rng() % std::size(pieces)];
  }
  return text;
}

void RandomStep(FakeEditor& ed, std::mt19937& rng) {
  TEditorScreenStrings& rows = ed.Rows();
  const int n = rows.GetCount();
  const int wrapByte = rows.WrapOption().WrapByte();
  const int first = static_cast<int>(rng() % static_cast<unsigned>(n + 1));
  const int count = first < n ? static_cast<int>(rng() % static_cast<unsigned>(std::min(4, n - first) + 1)) : 0;
  switch (rng() % 22) {
    case 0: rows.SetWordWrap(!rows.WordWrap()); break;
    case 1: rows.WrapOption().SetFollowRetMark(!rows.WrapOption().FollowRetMark()); break;
    case 2: rows.WrapOption().SetWrapByte(wrapByte == 20 ? 21 : 20); break;
    case 3: rows.Undo(); break;
    case 4: rows.Redo(); break;
    case 5: if (ed.lines.GetCount() > 0) ed.lines.Delete(static_cast<int>(rng() % static_cast<unsigned>(ed.lines.GetCount()))); break;
    case 6: ed.lines.Add(RandomText(rng, wrapByte)); break;
    case 7:
      if (ed.lines.GetCount() > 0)
        ed.lines.Put(static_cast<int>(rng() % static_cast<unsigned>(ed.lines.GetCount())), RandomText(rng, wrapByte));
      break;
    case 8: ed.lines.Insert(static_cast<int>(rng() % static_cast<unsigned>(ed.lines.GetCount() + 1)), "ins"); break;
    case 9:  // at or into the empty row that may carry the last line's end
      if (n > 0) rows.ReplaceRows(n - 1, static_cast<int>(rng() % 2), rng() % 2 ? "x\r\n" : RandomText(rng, wrapByte));
      break;
    case 10:  // a last line exactly as wide as the wrap, without a line end
      if (n > 0) {
        const int line = rows.FirstRowOfLine(n - 1);
        rows.ReplaceRows(line, n - line, std::string(static_cast<std::size_t>(wrapByte), 'w'));
      }
      break;
    case 11:
    case 12:  // typing: bytes of one row replaced, in one block or another
      if (n > 0) {
        const int r = static_cast<int>(rng() % static_cast<unsigned>(n));
        const std::size_t length = rows.RowLength(r), from = rng() % (length + 1);
        rows.ReplaceInRow(r, from, from + rng() % (length - from + 1), rng() % 3 ? "ab" : "");
      }
      break;
    default: rows.ReplaceRows(first, count, RandomText(rng, wrapByte)); break;
  }
  if (rows.GetCount() > 80) {  // keep the walks short
    const int cut = rows.FirstRowOfLine(40);
    rows.ReplaceRows(cut, rows.GetCount() - cut, "");
  }
}

class LineIndexRandom : public ::testing::TestWithParam<std::tuple<std::size_t, std::size_t>> {};

TEST_P(LineIndexRandom, AnswersMatchAPlainWalk) {
  const auto [blockBytes, blockRows] = GetParam();
  for (unsigned seed : {1u, 2u, 3u}) {
    auto rows = std::make_shared<TEditorScreenStrings>(blockBytes, blockRows);
    FakeEditor a(rows);
    FakeEditor b(rows);  // a second editor on the same rows, edited in turn
    rows->WrapOption().SetWrapByte(20);
    rows->SetWordWrap(seed != 2);
    rows->UndoObj().SetUndoListMax(200);
    a.lines.SetTextStr("first\r\n" + std::string(20, 'w') + "\r\n");
    std::mt19937 rng(seed);
    for (int step = 0; step < 1500; ++step) {
      RandomStep(step % 2 ? a : b, rng);
      const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      ASSERT_NO_FATAL_FAILURE(CheckIndex(*rows, where));
      ASSERT_NO_FATAL_FAILURE(CheckRows(a, where));
    }
  }
}

// A loaded document with every kind of line end, tabs, NUL bytes, empty
// lines and lines longer than the wrap width.
std::string RandomFile(std::mt19937& rng) {
  static const char* const ends[] = {"\r\n", "\n", "\r", "\n\r"};
  std::string bytes;
  for (int line = 0; line < 60; ++line) {
    if (rng() % 5 == 0) bytes += std::string(rng() % 70, 'L');
    else if (rng() % 7 == 0) bytes += std::string("t\tn\0", 5);
    else bytes += RandomText(rng, 20);
    bytes += ends[rng() % std::size(ends)];
  }
  if (rng() % 2) bytes += "last";
  return bytes;
}

// Rows kept in the image of a loaded file answer, and go through edits,
// exactly as rows copied out of it do.
TEST_P(LineIndexRandom, ImageRowsBehaveAsCopiedRows) {
  const auto [blockBytes, blockRows] = GetParam();
  TTempDir dir;
  for (unsigned seed : {4u, 5u, 6u}) {
    std::mt19937 source(seed);
    const std::string path = dir.File("doc" + std::to_string(seed) + ".txt");
    std::ofstream(path, std::ios::binary) << RandomFile(source);
    auto load = [&](FakeEditor& ed, std::size_t threshold) {
      ed.Rows().WrapOption().SetWrapByte(20);
      ed.Rows().SetWordWrap(seed != 5);
      ed.Rows().UndoObj().SetUndoListMax(200);
      ImageThreshold image(threshold);
      ed.lines.LoadFromFile(path);
    };
    FakeEditor copied(std::make_shared<TEditorScreenStrings>(blockBytes, blockRows));
    FakeEditor inImage(std::make_shared<TEditorScreenStrings>(blockBytes, blockRows));
    load(copied, SIZE_MAX);
    load(inImage, 1);
    ASSERT_EQ(copied.Rows().ImageBlockCount(), 0u);
    ASSERT_GT(inImage.Rows().ImageBlockCount(), 0u);
    ASSERT_EQ(Dump(inImage.Rows()), Dump(copied.Rows())) << "seed " << seed;
    ASSERT_EQ(DumpLineEnds(inImage.Rows()), DumpLineEnds(copied.Rows())) << "seed " << seed;
    ASSERT_NO_FATAL_FAILURE(CheckIndex(inImage.Rows(), "loaded, seed " + std::to_string(seed)));
    std::mt19937 rngCopied(seed), rngImage(seed);
    for (int step = 0; step < 400; ++step) {
      RandomStep(copied, rngCopied);
      RandomStep(inImage, rngImage);
      const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      ASSERT_EQ(Dump(inImage.Rows()), Dump(copied.Rows())) << where;
      ASSERT_EQ(DumpLineEnds(inImage.Rows()), DumpLineEnds(copied.Rows())) << where;
      ASSERT_NO_FATAL_FAILURE(CheckIndex(inImage.Rows(), where));
    }
  }
}

// A byte offset in the row that starts a character.
std::size_t CharBoundary(std::string_view row, std::mt19937& rng) {
  std::vector<std::size_t> starts{0};
  for (std::size_t p = 0; p < row.size();) starts.push_back(p += cp932::CharLength(row, p));
  return starts[rng() % starts.size()];
}

// Edits in the middle of a line of many rows re-wrap only until the new
// breaks meet the old ones: the rows must still be those a wrap of the
// whole document gives, under the line-break rules too, and undo and redo
// must bring back exactly the rows there were.
TEST(LongLineEdits, RowsAgreeWithAWrapFromScratch) {
  static const char* const pieces[] = {"a", "b ", "\x82\xa0" /* あ */, "\x81\x42" /* 。 */, "\x81\x41" /* 、 */,
                                       "\x81\x75" /* 「 */, "\x81\x76" /* 」 */, "\x83\x41" /* ア */, "xyz"};
  for (unsigned seed : {1u, 2u, 3u, 4u}) {
    std::mt19937 rng(seed);
    FakeEditor ed(std::make_shared<TEditorScreenStrings>(200, 8));
    TEditorScreenStrings& rows = ed.Rows();
    rows.WrapOption().SetWrapByte(20);
    rows.WrapOption().SetFollowPunctuation(seed % 2 == 0);
    rows.WrapOption().SetLeading(seed >= 3);
    rows.SetWordWrap(true);
    rows.UndoObj().SetUndoListMax(1000);
    std::string line;
    while (line.size() < 3000) line += pieces[rng() % std::size(pieces)];
    const std::string text = "head\r\n" + line + "\r\ntail\r\n";
    ed.lines.SetTextStr(text);
    int edits = 0, local = 0;
    for (int step = 0; step < 400; ++step) {
      const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      const int r = 1 + static_cast<int>(rng() % static_cast<unsigned>(std::max(rows.GetCount() - 2, 1)));
      const std::string_view row = rows.Row(r);
      std::size_t from = CharBoundary(row, rng), to = CharBoundary(row, rng);
      if (from > to) std::swap(from, to);
      if (to - from > 4) to = from;
      std::string piece;
      for (int k = static_cast<int>(rng() % 3); k > 0; --k) piece += pieces[rng() % std::size(pieces)];
      if (rng() % 10 == 0) {
        rows.Undo();
      } else if (rng() % 10 == 0) {
        rows.Redo();
      } else {
        rows.ReplaceInRow(r, from, to, piece);
        ++edits;
        if (ed.lastChange.oldCount < 20) ++local;
      }
      ASSERT_NO_FATAL_FAILURE(CheckRows(ed, where));
      if (step % 20 == 0) {
        ASSERT_NO_FATAL_FAILURE(CheckIndex(rows, where));
      }
    }
    // Where the breaks meet again depends on the text; in this mix of one-
    // and two-byte characters they mostly meet within a few rows.
    EXPECT_GT(local, edits / 4) << "seed " << seed << ": too few edits re-wrapped only a few rows";
    while (rows.UndoObj().CanUndo()) rows.Undo();
    EXPECT_EQ(ed.lines.GetTextStr(), text) << "seed " << seed;
  }
}

// A line of single-byte text moves every break after an edit: the rows
// near it are wrapped at once and the rest when the typing scope ends. In
// between the text must be whole and the index right; after it, the rows
// must be a wrap from scratch, and undo and redo (also of edits whose
// rest was finished) must bring back exactly the text there was.
TEST(LongLineEdits, DeferredRestOfLineEndsAsAWholeWrap) {
  static const char* const pieces[] = {"a", "b ", "xyz", "42;", "\x82\xa0" /* あ */};
  for (unsigned seed : {7u, 8u}) {
    std::mt19937 rng(seed);
    FakeEditor ed(std::make_shared<TEditorScreenStrings>(600, 16));
    TEditorScreenStrings& rows = ed.Rows();
    rows.WrapOption().SetWrapByte(20);
    rows.SetWordWrap(true);
    rows.UndoObj().SetUndoListMax(1000);
    std::string line;
    while (line.size() < 12000) line += pieces[rng() % 4];  // single-byte only
    const std::string text = "head\r\n" + line + "\r\ntail\r\n";
    ed.lines.SetTextStr(text);
    int deferred = 0;
    for (int step = 0; step < 60; ++step) {
      const std::string where = "seed " + std::to_string(seed) + " step " + std::to_string(step);
      const int choice = static_cast<int>(rng() % 8);
      if (choice == 0) {
        rows.Undo();
      } else if (choice == 1) {
        rows.Redo();
      } else {
        // Near the line's start mostly, so that its rest is long.
        const int r = 1 + static_cast<int>(rng() % (choice == 2 ? 400u : 6u)) % std::max(rows.GetCount() - 2, 1);
        const std::string_view row = rows.Row(r);
        const std::size_t from = CharBoundary(row, rng);
        const std::size_t to = rng() % 3 == 0 ? std::min(row.size(), from + 1) : from;
        const std::string before = ed.lines.GetTextStr();
        const std::string piece = to > from ? "" : pieces[rng() % std::size(pieces)];
        const std::int64_t at = rows.SumsBefore(r).Offset() + static_cast<std::int64_t>(from);
        const TDeferredWrapScope typing(rows);
        rows.ReplaceInRow(r, from, to, piece);
        std::string expected = before;
        expected.replace(static_cast<std::size_t>(at), to - from, piece);
        ASSERT_EQ(ed.lines.GetTextStr(), expected) << where;
        ASSERT_NO_FATAL_FAILURE(CheckIndex(rows, where + " (rest pending)"));
        if (rows.WrapPending()) ++deferred;
      }
      ASSERT_FALSE(rows.WrapPending()) << where;
      ASSERT_NO_FATAL_FAILURE(CheckRows(ed, where));
    }
    EXPECT_GT(deferred, 10) << "seed " << seed;
    while (rows.UndoObj().CanUndo()) rows.Undo();
    EXPECT_EQ(ed.lines.GetTextStr(), text) << "seed " << seed;
    while (rows.UndoObj().CanRedo()) rows.Redo();
    ASSERT_NO_FATAL_FAILURE(CheckRows(ed, "redone, seed " + std::to_string(seed)));
  }
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, LineIndexRandom,
                         ::testing::Values(std::tuple{std::size_t{8}, std::size_t{2}},
                                           std::tuple{std::size_t{40}, std::size_t{5}},
                                           std::tuple{TPointerStringList::kDefaultBlockBytes,
                                                      TPointerStringList::kDefaultBlockRows}));

}  // namespace
}  // namespace yk::test
