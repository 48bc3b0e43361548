// Settings names and reserved words ignore case the same way: whatever
// one calls the same name, the other calls the same word.
#include "props/names.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/reserve_words.h"

namespace yk {
namespace {

TEST(Names, FoldLikeReservedWords) {
  // Bytes around the letters, full-width letters and lead bytes whose trail
  // byte looks like a letter.
  static const unsigned char kBytes[] = {'a', 'A', 'z', 'Z', '_', '[', 0x82, 0x83, 0x60, 0x81, 0x9a, 0x9b, 0x62, 0x42};
  std::mt19937 rng(7);
  auto word = [&] {
    std::string s;
    for (std::size_t n = 1 + rng() % 4; n > 0; --n) s += static_cast<char>(kBytes[rng() % std::size(kBytes)]);
    return s;
  };
  int same = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::string a = word(), b = word();
    const bool equal = CompareReserveWords(a, b) == 0;
    EXPECT_EQ(SameName(a, b), equal) << a << " / " << b;
    same += equal && a != b;
  }
  EXPECT_GT(same, 0);  // the inputs did compare words that differ only in case
  EXPECT_TRUE(SameName("\x82\x81\x82\x82", "\x82\x60\x82\x61"));  // ａｂ / ＡＢ
}

}  // namespace
}  // namespace yk
