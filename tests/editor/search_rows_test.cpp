// The search over rows read in pieces must find exactly what the search of
// the joined text finds, wherever the pieces are cut.
#include "editor/search_rows.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "editor/editor.h"
#include "temp_dir.h"
#include "text/fake_editor.h"
#include "text/image_threshold.h"

using namespace yk;

namespace {

// Characters the documents are made of: letters in both cases and widths,
// half-width letters with voiced marks, blanks of every kind, "_", line
// ends, and a lead byte that ends a line alone.
const std::vector<std::string> kAlphabet = {
    "a", "b", "A", "B", "_", " ", "\t", "\r\n", "\r\n", "\r\n",
    "\x81\x40",          // 　
    "\x82\x81",          // ａ
    "\x82\x60",          // Ａ
    "\xb6", "\xde",      // ｶ ﾞ
    "\x83\x4b",          // ガ
    "\x83\x62",          // ッ (its trail byte is "b")
    "\x82\r\n",          // a lone lead byte before the line end
};

std::string RandomText(std::mt19937& rng, std::size_t chars) {
  std::string s;
  for (std::size_t i = 0; i < chars; ++i) s += kAlphabet[rng() % kAlphabet.size()];
  return s;
}

std::string RandomPattern(std::mt19937& rng, const std::string& text) {
  if (rng() % 3 == 0 || text.size() < 4) return RandomText(rng, 1 + rng() % 3);
  // A piece of the text itself, so that matches are common.
  std::size_t from = rng() % (text.size() - 3);
  std::string p = text.substr(from, 1 + rng() % 4);
  return p.find_first_not_of("\r\n") == std::string::npos ? "a" : p;
}

class RowSearch : public ::testing::Test {
 public:
  void Load(const std::string& text, bool wrap) {
    ed.SetWordWrap(false);
    ed.Lines().Clear();
    ed.ScreenStrings().ReplaceRows(0, 0, text);
    if (wrap) {
      ed.WrapOption().SetWrapByte(20);
      ed.SetWordWrap(true);
    }
  }

  // The search of the rows from a selection at the absolute offset start,
  // given relative to the row that holds it, as "start,length" or "-".
  std::string FindInRows(std::int64_t start, std::int64_t length, const std::string& pattern,
                         TSearchOptions options, int row) {
    const std::int64_t rowStart = ed.OffsetFromRowCol(0, row, 0);
    const auto match = SearchRows(ed.ScreenStrings(), {row, start - rowStart}, length, pattern, options);
    if (!match) return "-";
    const std::int64_t at = ed.OffsetFromRowCol(0, match->Start.Row, 0) + match->Start.Offset;
    return std::to_string(at) + "," + std::to_string(match->Length);
  }

  TEditor ed;
};

std::string FindInText(const std::string& text, std::int64_t start, std::int64_t length,
                       const std::string& pattern, TSearchOptions options) {
  TSearchRange r{start, length};
  if (!SearchText(text, r, pattern, options)) return "-";
  return std::to_string(r.Start) + "," + std::to_string(r.Length);
}

TEST_F(RowSearch, SameMatchesAsTheJoinedText) {
  std::mt19937 rng(7);
  const TSearchOptions kOptions[] = {sfMatchCase, sfWholeWord, sfNoMatchZenkaku, sfIncludeCRLF,
                                     sfNoMatchZenkaku | sfWholeWord | sfIncludeCRLF, sfSkipBlanks};
  for (int doc = 0; doc < 40; ++doc) {
    // Long documents so that a search crosses several pieces.
    Load(RandomText(rng, doc % 4 == 0 ? 30 : 200 + rng() % 1500), doc % 2 == 1);
    const std::string text = ed.Lines().GetTextStr();
    const int rows = ed.RowCount();
    for (int probe = 0; probe < 60; ++probe) {
      const std::string pattern = RandomPattern(rng, text);
      TSearchOptions options = kOptions[rng() % std::size(kOptions)];
      if (rng() % 2) options |= sfForward;
      const std::int64_t start = static_cast<std::int64_t>(rng() % (text.size() + 1));
      const std::int64_t length = rng() % 3 == 0 ? static_cast<std::int64_t>(rng() % 8) : 0;
      const int row = static_cast<int>(rng() % static_cast<unsigned>(rows));
      ASSERT_EQ(FindInRows(start, length, pattern, options, row), FindInText(text, start, length, pattern, options))
          << "doc " << doc << " probe " << probe << " options " << options << " start " << start;
    }
  }
}

// Rows left in a loaded file's image are read a block at a time, from the
// image where their line ends there are CR LF and row by row where they are
// not; small blocks put many block edges in each search.
TEST(RowSearchInImage, SameMatchesAsTheJoinedText) {
  std::mt19937 rng(11);
  yk::test::TTempDir dir;
  const yk::test::ImageThreshold everyFile(1);
  for (int doc = 0; doc < 24; ++doc) {
    std::string bytes = RandomText(rng, 300 + rng() % 1200);
    if (doc % 3 != 0)  // some lines end in LF or CR, as a file's may
      for (std::size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 1))
        if (rng() % 4 == 0) bytes.erase(at + (rng() % 2), 1);
    yk::test::Spit(dir.File("doc.txt"), bytes);
    yk::test::FakeEditor ed(std::make_shared<TEditorScreenStrings>(doc % 2 ? 40 : 16384, doc % 2 ? 5 : 1024));
    TEditorScreenStrings& rows = ed.Rows();
    ed.lines.LoadFromFile(dir.File("doc.txt"));
    ASSERT_GT(rows.ImageBlockCount(), 0u) << "doc " << doc;
    if (doc % 4 >= 2) {
      rows.WrapOption().SetWrapByte(20);
      rows.SetWordWrap(true);
    }
    const std::string text = ed.lines.GetTextStr();
    for (int probe = 0; probe < 40; ++probe) {
      const std::string pattern = RandomPattern(rng, text);
      const TSearchOptions options = (rng() % 2 ? sfForward : 0) | (rng() % 2 ? sfIncludeCRLF : 0);
      const std::int64_t start = static_cast<std::int64_t>(rng() % (text.size() + 1));
      const auto match = SearchRows(rows, {0, start}, 0, pattern, options);
      std::string found = "-";
      if (match) {
        const TRowSums before = rows.SumsBefore(match->Start.Row);
        found = std::to_string(before.bytes + 2 * before.crlfs + match->Start.Offset) + "," +
                std::to_string(match->Length);
      }
      ASSERT_EQ(found, FindInText(text, start, 0, pattern, options)) << "doc " << doc << " probe " << probe;
    }
  }
}

// Matches that run over many lines of blanks and line ends, longer than
// any first piece, in both directions; and a match at either end.
TEST_F(RowSearch, MatchesLongerThanAPieceAndAtTheEnds) {
  std::string text = "xa";
  for (int i = 0; i < 400; ++i) text += i % 3 ? " \t" : "\r\n";
  text += "b";
  Load(text, false);
  const std::int64_t end = static_cast<std::int64_t>(text.size());
  EXPECT_EQ(FindInRows(0, 0, "ab", sfForward | sfIncludeCRLF, 0), "1," + std::to_string(end - 1));
  EXPECT_EQ(FindInRows(end, 0, "ab", sfIncludeCRLF, ed.RowCount() - 1), "1," + std::to_string(end - 1));
  EXPECT_EQ(FindInRows(0, 0, "x", sfForward, ed.RowCount() - 1), "0,1");
  EXPECT_EQ(FindInRows(end, 0, "b", 0, 0), std::to_string(end - 1) + ",1");
  EXPECT_EQ(FindInRows(0, 0, "ab", sfForward, 0), "-");
}

// A selection outside the document finds nothing, as in the joined text.
TEST_F(RowSearch, SelectionsOutsideTheDocumentAsInTheJoinedText) {
  Load("ab\r\nab\r\nab", false);
  const std::string text = ed.Lines().GetTextStr();
  const std::int64_t size = static_cast<std::int64_t>(text.size());
  for (std::int64_t start : {std::int64_t{-3}, std::int64_t{-1}, std::int64_t{0}, size - 1, size, size + 1, size + 30}) {
    for (std::int64_t length : {std::int64_t{-1}, std::int64_t{0}, std::int64_t{2}, std::int64_t{50}}) {
      for (TSearchOptions options : {TSearchOptions{0}, sfForward}) {
        for (int row : {0, 2}) {
          EXPECT_EQ(FindInRows(start, length, "ab", options, row), FindInText(text, start, length, "ab", options))
              << start << " " << length << " " << options << " row " << row;
        }
      }
    }
  }
  EXPECT_EQ(FindInRows(size + 1, 0, "ab", 0, 2), "-");
}

TEST_F(RowSearch, EmptyDocumentAndPlacesPastTheEnd) {
  Load("", false);
  EXPECT_EQ(FindInRows(0, 0, "a", sfForward, 0), "-");
  Load("ab\r\nab", false);
  // The place after the last row counts as the end of the text.
  const auto match = SearchRows(ed.ScreenStrings(), {ed.RowCount(), 0}, 0, "ab", 0);
  ASSERT_TRUE(match);
  EXPECT_EQ(ed.OffsetFromRowCol(0, match->Start.Row, 0) + match->Start.Offset, 4);
}

}  // namespace
