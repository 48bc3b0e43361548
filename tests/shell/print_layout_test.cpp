// Rows cut into printed lines without splitting a double-byte character,
// pages counted, and the page label.
#include <gtest/gtest.h>

#include "shell/print_layout.h"

namespace yk {
namespace {

using Starts = std::vector<std::size_t>;

TEST(PrintLayoutTest, ARowWiderThanThePageGoesOnInTheNextLine) {
  const struct {
    std::string row;
    int columns;
    Starts starts;
  } kCases[] = {
      {"", 10, {0}},
      {"abcdef", 6, {0}},                               // exactly as wide as the page
      {"abcdefg", 3, {0, 3, 6}},                        // three lines, the last one short
      {"ab\x82\xa0" "cd", 3, {0, 2, 5}},                // ab|あc|d: あ does not fit after ab
      {"a\x82\xa0" "b", 3, {0, 3}},                     // aあ fills three columns
      {"\x82\xa0\x82\xa2", 1, {0, 2}},                  // あい on a page of one column: one each
      {"\xb1\xb2\xb3", 2, {0, 2}},                      // half-width katakana are one column
      {"ab\x82", 2, {0, 2}},                            // a lone lead byte at the end is one byte
      {"abc", 0, {0, 1, 2}},                            // no room at all: one character a line
  };
  for (const auto& c : kCases) EXPECT_EQ(PrintLineStarts(c.row, c.columns), c.starts) << c.row << " " << c.columns;
}

TEST(PrintLayoutTest, PagesAreCountedAndLabelled) {
  for (const auto& [lines, perPage, pages] :
       {std::tuple{0LL, 50, 1}, {1LL, 50, 1}, {50LL, 50, 1}, {51LL, 50, 2}, {150LL, 50, 3}, {7LL, 0, 7}})
    EXPECT_EQ(PrintPageCount(lines, perPage), pages) << lines << " " << perPage;
  EXPECT_EQ(PageLabel(1, 3), "1 / 3");
  EXPECT_EQ(PageLabel(12, 12), "12 / 12");
}

}  // namespace
}  // namespace yk
