// Column codes read straight from a row's bytes agree with its column map.
#include "editor/column_code.h"

#include <gtest/gtest.h>

#include <random>

using namespace yk;

TEST(RowColumns, AgreeWithTheColumnMapForAnyRow) {
  std::mt19937 rng(5);
  const char alphabet[] = {'a', ' ', '\x82', '\xa0', '\x8b', '\x90', '\xb1', ',', '\t'};
  for (int round = 0; round < 2000; ++round) {
    std::string row;
    for (int n = static_cast<int>(rng() % 40); n > 0; --n) row += alphabet[rng() % (round % 2 ? 9 : 8)];
    const std::string map = ColumnMap(row, 4, 0, DefaultWordDelimiters());
    const TRowColumns cols(row, 4, 0, DefaultWordDelimiters());
    ASSERT_EQ(cols.Width(), static_cast<int>(map.size())) << round;
    for (int c = -1; c <= static_cast<int>(map.size()) + 1; ++c) {
      ASSERT_EQ(cols.CodeAt(c), CodeAt(map, c)) << round << " col " << c;
      ASSERT_EQ(cols.CharStartColumn(c, false), CharStartColumn(map, c, false)) << round << " col " << c;
    }
  }
}
