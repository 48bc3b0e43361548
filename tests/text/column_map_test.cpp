// Tab widths, column maps, the column cursor and the byte-string helpers.
#include "text/column_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <string>
#include <type_traits>

using namespace yk;

TEST(ColumnMap, TabColumnsStopAtTabStopsAndTheWrapColumn) {
  struct Case {
    int column, tabWidth, wrapByte, expect;
  } cases[] = {
      {0, 8, 0, 8},    {3, 8, 0, 5},   {8, 8, 0, 8},  {7, 4, 0, 1},
      {17, 8, 20, 3},  // not 7: the wrap column comes first
      {16, 8, 20, 4},  {19, 8, 20, 1}, {20, 8, 20, 4}, {40, 8, 20, 8},
      {5, 0, 0, 1},    // a tab width below 1 counts as 1
      {-3, 4, 0, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TabColumns(c.column, c.tabWidth, c.wrapByte), c.expect)
        << c.column << " " << c.tabWidth << " " << c.wrapByte;
  }
}

TEST(ColumnMap, CodesPerColumn) {
  TDelimiterSet withLead = DefaultWordDelimiters();
  withLead.set(0x82);
  struct Case {
    std::string line;
    int tabWidth, wrapByte;
    const TDelimiterSet& delimiters;
    std::string expect;
  } cases[] = {
      {"a_b-9 ", 8, 0, DefaultWordDelimiters(), "111212"},
      {"a\tb", 4, 0, DefaultWordDelimiters(), "12331"},
      {"\t", 8, 0, DefaultWordDelimiters(), "23333333"},
      {"\x82\xa0x", 8, 0, DefaultWordDelimiters(), "451"},             // あx
      {"\x95\x5c", 8, 0, DefaultWordDelimiters(), "45"},               // 表: trail is '\'
      {"\x82\x09", 8, 0, DefaultWordDelimiters(), "45"},               // a tab byte as a trail is no tab
      {"ab\x82", 8, 0, DefaultWordDelimiters(), "111"},                // lone lead at the end
      {"ab\x82", 8, 0, withLead, "112"},
      {"\xb1\xa1\xa5\xa6\x7f\xfd", 8, 0, DefaultWordDelimiters(), "122122"},  // ｱ｡･ｦ DEL 0xFD
      {std::string(17, 'a') + "\tb", 8, 20, DefaultWordDelimiters(),
       std::string(17, '1') + "2331"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ColumnMap(c.line, c.tabWidth, c.wrapByte, c.delimiters), c.expect) << c.line;
  }
}

TEST(ColumnMap, DefaultDelimiterRanges) {
  const TDelimiterSet& d = DefaultWordDelimiters();
  for (int b = 0; b < 256; ++b) {
    const bool expect = b <= 0x2F || (b >= 0x3A && b <= 0x40) || (b >= 0x5B && b <= 0x5E) ||
                        b == 0x60 || (b >= 0x7B && b <= 0x80) || (b >= 0xA0 && b <= 0xA5) ||
                        b >= 0xFD;
    EXPECT_EQ(d.test(static_cast<std::size_t>(b)), expect) << b;
  }
}

TEST(ColumnMap, WidthExpansionAndMapAgree) {
  EXPECT_EQ(ExpandTabs("a\tb\x82\xa0\t", 4, 0), "a   b\x82\xa0 ");  // a→bあ→
  EXPECT_EQ(ExpandTabs(std::string(17, 'x') + "\t", 8, 20), std::string(20, 'x').replace(17, 3, "   "));
  std::mt19937 rng(7);
  const char alphabet[] = {'a', ' ', '\t', '\x82', '\xa0', '\x81', '\x09', '\xe0', '\xb1'};
  for (int n = 0; n < 2000; ++n) {
    std::string line(rng() % 60, ' ');
    for (char& ch : line) ch = alphabet[rng() % sizeof alphabet];
    const int tabWidth = 1 + static_cast<int>(rng() % 8);
    const int wrapByte = (rng() % 2) ? 0 : 20 + static_cast<int>(rng() % 20);
    const int width = LineWidth(line, tabWidth, wrapByte);
    const std::string map = ColumnMap(line, tabWidth, wrapByte, DefaultWordDelimiters());
    ASSERT_EQ(static_cast<int>(map.size()), width);
    ASSERT_EQ(static_cast<int>(ExpandTabs(line, tabWidth, wrapByte).size()), width);
    // Each column maps back to the byte that owns it, and the end to the size.
    ASSERT_EQ(ColumnToByte(map, width), static_cast<int>(line.size()));
    for (int c = 0; c < width; ++c) {
      const int b = ColumnToByte(map, c);
      ASSERT_LT(b, static_cast<int>(line.size()));
      if (map[c] == '3') {
        ASSERT_EQ(line[b], '\t');
      }
    }
  }
}

TEST(ColumnMap, ByteHelpers) {
  const std::string s = "a\tb\t";
  EXPECT_EQ(CountChar(s, '\t', 2), 1);
  EXPECT_EQ(CountChar(s, '\t', 100), 2);  // n is limited to the length
  EXPECT_EQ(CountChar(s, '\t', -1), 0);
  EXPECT_EQ(CharAt(s, 1), 'a');
  EXPECT_EQ(CharAt(s, 4), '\t');
  EXPECT_EQ(CharAt(s, 0), '\0');
  EXPECT_EQ(CharAt(s, 5), '\0');
  EXPECT_EQ(ColumnToByte("12331", 3), 1);   // inside the tab: the tab's byte
  EXPECT_EQ(ColumnToByte("12331", 4), 2);
  EXPECT_EQ(ColumnToByte("12331", -2), 0);
  EXPECT_EQ(ColumnToByte("12331", 99), 3);  // capped at the line's length
  EXPECT_EQ(ColumnToByte("12331", INT_MAX), 3);
}

TEST(ColumnMap, IsInSetComparesWholeCharactersAtBoundaries) {
  const std::string punct = "\x81\x41\x81\x42,.";  // 、。,.
  struct Case {
    std::string ch, set;
    bool expect;
  } cases[] = {
      {"\x81\x42", punct, true},            // 。
      {",", punct, true},
      {"A", punct, false},                  // 0x41 only as the trail of 、
      {"B", "\x82\x42x", false},            // trail byte equal to the member
      {"\x42\x81", "\x81\x42\x81\x41", false},  // bytes straddling two members
      {"\x81", punct, false},               // a lone lead is not 、
      {"", punct, false},
      {",", "", false},
      {"\x81", "ab\x81", true},             // a lone lead at the end is a member
  };
  for (const Case& c : cases) EXPECT_EQ(IsInSet(c.ch, c.set), c.expect) << c.ch << " in " << c.set;
}

TEST(ColumnMap, IndentWidth) {
  struct Case {
    std::string s;
    int expect;
  } cases[] = {
      {"", -1},
      {"a", 0},
      {"  a", 2},
      {"   ", 3},
      {"\x81\x40x", 2},              // 　x
      {" \x81\x40 \x81\x40", 6},
      {"\ta", 0},                    // a tab is not a blank here
      {" \x81\x41", 1},              // 、 stops the count
      {" \x81", 1},                  // a lone lead is no full-width space
  };
  for (const Case& c : cases) EXPECT_EQ(IndentWidth(c.s), c.expect) << c.s;
}

TEST(ColumnMap, CursorStepsOverTabsAndDoubleByteCharacters) {
  const std::string line = "a\t\x82\xa0" "b";  // a→あb
  const std::string map = ColumnMap(line, 4, 0, DefaultWordDelimiters());
  ASSERT_EQ(map, "1233451");
  struct Step {
    int column;
    char code;
    int bytePos;
    std::string current, next;
  } steps[] = {
      {1, '1', 1, "a", "\t"},
      {2, '2', 2, "\t", "\t"},
      {3, '3', 2, "\t", "\t"},
      {4, '3', 2, "\t", "\x82\xa0"},
      {5, '4', 3, "\x82\xa0", "\x82\xa0"},
      {6, '5', 4, "\x82\xa0", "b"},
      {7, '1', 5, "b", ""},
      {8, '0', 6, "", ""},
  };
  TEditorAttributeArray c(line, map);
  EXPECT_EQ(c.Len(), 7);
  auto check = [&c](const Step& s) {
    EXPECT_EQ(c.Column(), s.column);
    EXPECT_EQ(c.Code(), s.code) << s.column;
    EXPECT_EQ(c.BytePos(), s.bytePos) << s.column;
    EXPECT_EQ(c.CurrentChar(), s.current) << s.column;
    EXPECT_EQ(c.NextChar(), s.next) << s.column;
  };
  for (const Step& s : steps) {
    check(s);
    c.Next();
  }
  c.Next();  // nothing past the end
  check(steps[7]);
  for (int i = 7; i >= 0; --i) {
    check(steps[i]);
    c.Prev();
  }
  check(steps[0]);  // nothing before column 1
  // MoveTo lands where single steps would, from and to every column
  for (int from = 1; from <= 8; ++from) {
    for (int to = -1; to <= 10; ++to) {
      c.MoveTo(from);
      c.MoveTo(to);
      check(steps[std::clamp(to, 1, 8) - 1]);
    }
  }
}

TEST(ColumnMap, CursorOverEmptyOrMismatchedMaps) {
  const std::string empty;
  TEditorAttributeArray e(empty, empty);
  EXPECT_EQ(e.Code(), '0');
  EXPECT_EQ(e.Len(), 0);
  EXPECT_EQ(e.CurrentChar(), "");
  e.Next();
  e.Prev();
  EXPECT_EQ(e.Column(), 1);
  // A map that describes more bytes than the line has reads nothing past it.
  const std::string shortLine = "a";
  const std::string longMap = "1145";
  TEditorAttributeArray m(shortLine, longMap);
  for (int i = 0; i < 5; ++i, m.Next()) {
    const std::string_view ch = m.CurrentChar();
    EXPECT_TRUE(ch.empty() || (ch.data() >= shortLine.data() &&
                               ch.data() + ch.size() <= shortLine.data() + shortLine.size()));
  }
  // The cursor views its strings, so temporaries are refused at compile time.
  static_assert(!std::is_constructible_v<TEditorAttributeArray, const std::string&, std::string>);
  static_assert(!std::is_constructible_v<TEditorAttributeArray, std::string, const std::string&>);
  static_assert(std::is_constructible_v<TEditorAttributeArray, const char*, const std::string&>);
}
