// Row breaks of one logical line under the word-wrap rules.
#include "text/wrap_break.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>

#include "text/cp932.h"

using namespace yk;

namespace {

std::string Rep(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

const std::string kA = "\x82\xa0";        // あ
const std::string kMaru = "\x81\x42";     // 。
const std::string kKagi = "\x81\x75";     // 「
const std::string kKagiEnd = "\x81\x76";  // 」

enum Flags { kNone = 0, kWordBreak = 1, kPunct = 2, kLeading = 4, kRetMark = 8 };

// The rows of a line, each followed by '|'.
std::string Rows(const std::string& line, int flags = kNone, int wrap = 20, int tabWidth = 8) {
  TEditorWrapOption o;
  o.SetWrapByte(wrap);
  o.SetWordBreak(flags & kWordBreak);
  o.SetFollowPunctuation(flags & kPunct);
  o.SetLeading(flags & kLeading);
  o.SetFollowRetMark(flags & kRetMark);
  const TWrapContext ctx{o, tabWidth, DefaultWordDelimiters()};
  std::vector<std::size_t> lengths;
  BreakLine(line, ctx, lengths);
  EXPECT_EQ(CountWrapRows(line, ctx), static_cast<int>(lengths.size())) << line;
  std::string out;
  std::size_t at = 0;
  for (std::size_t n : lengths) {
    out += line.substr(at, n) + "|";
    at += n;
  }
  return out;
}

struct Case {
  std::string line;
  int flags;
  std::string expect;
};

void Check(const std::vector<Case>& cases) {
  for (const Case& c : cases) EXPECT_EQ(Rows(c.line, c.flags), c.expect) << c.line;
}

}  // namespace

TEST(WrapBreak, PlainBreaksAtTheWrapColumn) {
  Check({
      {"", kNone, "|"},
      {Rep('a', 19), kNone, Rep('a', 19) + "|"},
      {Rep('a', 20), kNone, Rep('a', 20) + "||"},  // the line end takes a row of its own
      {Rep('a', 20), kRetMark, Rep('a', 20) + "|"},
      {Rep('a', 40), kNone, Rep('a', 20) + "|" + Rep('a', 20) + "||"},
      {Rep('a', 40), kRetMark, Rep('a', 20) + "|" + Rep('a', 20) + "|"},
      {Rep('a', 41), kRetMark, Rep('a', 20) + "|" + Rep('a', 20) + "|a|"},
      // the double-byte character in columns 20-21 is not split
      {Rep('a', 19) + kA, kNone, Rep('a', 19) + "|" + kA + "|"},
      {Rep('a', 18) + kA + "b", kNone, Rep('a', 18) + kA + "|b|"},
      // a lone lead byte at the end is one column of its own
      {Rep('a', 19) + "\x82", kNone, Rep('a', 19) + "\x82||"},
  });
}

TEST(WrapBreak, WordBreakMovesBackToTheLastOpportunity) {
  Check({
      {"one two three four five six", kNone, "one two three four f|ive six|"},
      {"one two three four five six", kWordBreak, "one two three four |five six|"},
      // the step back stops W div 3 columns into the row
      {"aaaa " + Rep('b', 20), kWordBreak, "aaaa bb|" + Rep('b', 18) + "|"},
      // after a double-byte character is an opportunity
      {Rep('a', 16) + kA + "bbbbbb", kWordBreak, Rep('a', 16) + kA + "|bbbbbb|"},
      // a line of exactly W columns is not longer than W: no word break
      {"aaaa " + Rep('b', 15), kWordBreak, "aaaa " + Rep('b', 15) + "||"},
      // inside a tab is an opportunity
      {"ab\t" + Rep('c', 13), kWordBreak, "ab\t|" + Rep('c', 13) + "|"},
  });
}

TEST(WrapBreak, PunctuationHangsPastTheWrapColumn) {
  Check({
      {Rep('a', 20) + kMaru + "bbb", kPunct, Rep('a', 20) + kMaru + "|bbb|"},  // 22 columns
      {Rep('a', 20) + kMaru + "bbb", kNone, Rep('a', 20) + "|" + kMaru + "bbb|"},
      {Rep('a', 20) + "...b", kPunct, Rep('a', 20) + "...|b|"},  // up to W + 2 before a step
      {Rep('a', 20) + "....b", kPunct, Rep('a', 20) + "...|.b|"},
      {Rep('a', 20) + kMaru, kPunct, Rep('a', 20) + kMaru + "||"},
      {Rep('a', 20) + kMaru, kPunct | kRetMark, Rep('a', 20) + kMaru + "|"},
  });
}

TEST(WrapBreak, LeadingKeepsBracketsWithTheirText) {
  Check({
      // 「 in columns 19-20 moves to the next row
      {Rep('a', 18) + kKagi + "bbb", kLeading, Rep('a', 18) + "|" + kKagi + "bbb|"},
      {Rep('a', 18) + kKagi + "bbb", kNone, Rep('a', 18) + kKagi + "|bbb|"},
      // 」 in columns 21-22 pulls the 20th letter along
      {Rep('a', 20) + kKagiEnd + "b", kLeading, Rep('a', 19) + "|a" + kKagiEnd + "b|"},
      // ASCII ! may begin the last row when nothing follows it...
      {Rep('a', 20) + "!", kLeading, Rep('a', 20) + "|!|"},
      // ...but not when at least two columns follow the row end
      {Rep('a', 20) + "!x", kLeading, Rep('a', 19) + "|a!x|"},
      // a row never shrinks below (W div 5) * 4 + 1 columns for these rules
      {Rep('a', 14) + kKagi + kKagi + kKagi + "bb", kLeading,
       Rep('a', 14) + kKagi + "|" + kKagi + kKagi + "bb|"},
      {Rep('a', 14) + kKagiEnd + kKagiEnd + kKagiEnd + kKagiEnd + "b", kLeading,
       Rep('a', 14) + kKagiEnd + "|" + kKagiEnd + kKagiEnd + kKagiEnd + "b|"},
      // the last column of the line is left alone
      {Rep('a', 18) + kKagi, kLeading, Rep('a', 18) + kKagi + "||"},
  });
}

TEST(WrapBreak, TabsAreMeasuredFromTheStartOfTheLogicalLine) {
  // the tab at column 17 covers 3 columns, so the row ends right after it
  EXPECT_EQ(Rows(Rep('a', 17) + "\tbbb"), Rep('a', 17) + "\t|bbb|");
  // on the second row the tab at column 24 still covers 8 columns, not 4
  EXPECT_EQ(Rows(Rep('a', 24) + "\t" + Rep('b', 10)),
            Rep('a', 20) + "|aaaa\t" + Rep('b', 8) + "|bb|");
  // a row that would begin with nothing but the filler columns of the tab
  // ending the row before takes the next character along, not an empty row
  const std::string line = Rep('a', 12) + " " + Rep('b', 19) + "\t" + Rep('c', 20);
  EXPECT_EQ(Rows(line, kWordBreak), Rep('a', 12) + " |" + Rep('b', 19) + "\t|c|" + Rep('c', 19) + "|");
}

TEST(WrapBreak, RandomLinesAlwaysSplitCleanly) {
  std::mt19937 rng(20240611);
  // Bytes chosen to hit tabs, delimiters, lead and trail values and the
  // line-break sets: a space ( . 、 。 「 」 ｡ ｢ and their lead bytes.
  const char alphabet[] = {'a', 'b', ' ',    '\t',   '(',    '.',    '!',    '\x81', '\x41',
                           '\x42', '\x75', '\x76', '\x82', '\xa0', '\xa1', '\xa2', '\xe0', '\x40'};
  for (int n = 0; n < 3000; ++n) {
    std::string line(rng() % 700, ' ');
    for (char& ch : line) ch = alphabet[rng() % sizeof alphabet];
    TEditorWrapOption o;
    o.SetWrapByte(20 + static_cast<int>(rng() % 231));
    o.SetWordBreak(rng() % 2);
    o.SetFollowPunctuation(rng() % 2);
    o.SetLeading(rng() % 2);
    o.SetFollowRetMark(rng() % 2);
    const int tabWidths[] = {1, 2, 4, 6, 8, 20, 300};
    const TWrapContext ctx{o, tabWidths[rng() % 7], DefaultWordDelimiters()};
    std::vector<std::size_t> rows;
    BreakLine(line, ctx, rows);
    ASSERT_EQ(CountWrapRows(line, ctx), static_cast<int>(rows.size()));
    ASSERT_FALSE(rows.empty());
    std::size_t at = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (i + 1 < rows.size()) {
        ASSERT_GT(rows[i], 0u) << "empty row inside the line";
      }
      at += rows[i];
      ASSERT_LE(at, line.size());
      ASSERT_FALSE(cp932::IsTrailAt(line, at)) << "row ends inside a character";
    }
    ASSERT_EQ(at, line.size());
  }
}

TEST(WrapBreak, LinesWithoutTabsOrRulesBreakAsTheColumnCursorBreaksThem) {
  // With every rule off a tab-free line is cut by byte counts alone; the
  // same line through the column cursor (Leading on with empty sets, which
  // changes nothing) must give the same rows.
  std::mt19937 rng(5);
  const char alphabet[] = {'a', ' ', '\x82', '\xa0', '\x81', '\x42', '\xb1', '\xe0', '\x40'};
  for (int n = 0; n < 2000; ++n) {
    std::string line(rng() % 300, ' ');
    for (char& ch : line) ch = alphabet[rng() % sizeof alphabet];
    TEditorWrapOption plain, cursor;
    plain.SetWrapByte(20 + static_cast<int>(rng() % 40));
    plain.SetFollowRetMark(rng() % 2);
    cursor.Assign(plain);
    cursor.SetLeadStr("");
    cursor.SetFollowStr("");
    cursor.SetLeading(true);
    std::vector<std::size_t> a, b;
    BreakLine(line, {plain, 8, DefaultWordDelimiters()}, a);
    BreakLine(line, {cursor, 8, DefaultWordDelimiters()}, b);
    ASSERT_EQ(a, b) << n;
  }
}
