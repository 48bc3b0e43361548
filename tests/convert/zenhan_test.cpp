// Full-width / half-width conversion in both directions.
#include "convert/zenhan.h"

#include <gtest/gtest.h>

#include <string>

using yk::HankakuToZenkaku;
using yk::ZenkakuToHankaku;

namespace {

struct TCase {
  std::string Source;
  std::string Expected;
};

TEST(ZenHan, ToZenkaku) {
  const TCase cases[] = {
      {"\xb6\xde\xb7\xde\xb8\xde", "\x83\x4b\x83\x4d\x83\x4f"},  // ｶﾞｷﾞｸﾞ → ガギグ
      {"\xca\xdf\xcb\xdf", "\x83\x70\x83\x73"},                  // ﾊﾟﾋﾟ → パピ
      {"\xce\xde\xce\xdf", "\x83\x7b\x83\x7c"},                  // ﾎﾞﾎﾟ → ボポ
      {"\xb3\xde", "\x83\x94"},                                  // ｳﾞ → ヴ
      {"\xb1\xde", "\x83\x41\x81\x4a"},                          // ｱﾞ → ア゛
      {"\xb6\xdf", "\x83\x4a\x81\x4b"},                          // ｶﾟ → カ゜
      {"\xb6", "\x83\x4a"},                                      // ｶ at the end → カ
      {"\xde", "\x81\x4a"},                                      // lone ﾞ → ゛
      {"\xb0\xa5", "\x81\x5b\x81\x45"},                          // ｰ･ → ー・
      {"\xa6\xaf\xdd", "\x83\x92\x83\x62\x83\x93"},              // ｦｯﾝ → ヲッン
      {"\\~", "\x81\x8f\x81\x50"},                               // \~ → ￥￣
      {"ABC abc 123",
       // ＡＢＣ　ａｂｃ　１２３
       "\x82\x60\x82\x61\x82\x62\x81\x40\x82\x81\x82\x82\x82\x83\x81\x40\x82\x50\x82\x51\x82\x52"},
      // 漢 (0x8A 0xBF, trail looks like ｿ) and ソ (0x83 0x5C, trail is a backslash) stay
      {"\x8a\xbf\x83\x5c", "\x8a\xbf\x83\x5c"},
      {"\t\r\n\x80\xa0\xfd\xff", "\t\r\n\x80\xa0\xfd\xff"},
      {"a\x82", "\x82\x81\x82"},  // a and a lone lead byte at the end
      {"", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(HankakuToZenkaku(c.Source), c.Expected) << c.Source;
}

TEST(ZenHan, ToHankaku) {
  const TCase cases[] = {
      {"\x82\xaa\x82\xcf\x83\x94", "\xb6\xde\xca\xdf\xb3\xde"},  // がぱヴ → ｶﾞﾊﾟｳﾞ
      {"\x82\xa0\x83\x41", "\xb1\xb1"},                          // あア → ｱｱ
      {"\x82\xf0\x82\xc1\x82\xf1", "\xa6\xaf\xdd"},              // をっん → ｦｯﾝ
      {"\x82\xee\x83\x95\x82\xec", "\x82\xee\x83\x95\x82\xec"},  // ゐヵゎ stay
      {"\x81\x4a\x81\x4b", "\xde\xdf"},                          // ゛゜ → ﾞﾟ
      {"\x81\x5b\x81\x45", "\xb0\xa5"},                          // ー・ → ｰ･
      {"\x81\x68\x81\x66\x81\x8f", "\"'\\"},                     // ”’￥
      {"\x82\x4f\x82\x58", "09"},                                // ０９
      // ＡＢＣ　ａｂｃ　１２３
      {"\x82\x60\x82\x61\x82\x62\x81\x40\x82\x81\x82\x82\x82\x83\x81\x40\x82\x50\x82\x51\x82\x52",
       "ABC abc 123"},
      // 亜(0x88 0x9F) then 0x82 0x60: the pair that looks like Ａ starts on a trail byte
      {"\x88\x9f\x82\x60", "\x88\x9f" "A"},
      {"\x88\x82\x60", "\x88\x82`"},  // 0x88 0x82 is one (unassigned) character, ` stays
      {"\x8a\xbf\t\r\nx\x82", "\x8a\xbf\t\r\nx\x82"},  // 漢, controls, a lone lead byte
      {"", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(ZenkakuToHankaku(c.Source), c.Expected) << c.Source;
}

// Every printable ASCII character and every half-width kana, alone or with
// a following mark, comes back unchanged from full-width form.
TEST(ZenHan, HalfWidthRoundTrips) {
  for (int b = 0x20; b <= 0x7E; ++b) {
    const std::string s(1, static_cast<char>(b));
    const std::string wide = HankakuToZenkaku(s);
    EXPECT_EQ(wide.size(), 2u) << b;
    EXPECT_EQ(ZenkakuToHankaku(wide), s) << b;
  }
  for (int b = 0xA1; b <= 0xDF; ++b) {
    for (const char* mark : {"", "\xde", "\xdf"}) {
      const std::string s = std::string(1, static_cast<char>(b)) + mark;
      EXPECT_EQ(ZenkakuToHankaku(HankakuToZenkaku(s)), s) << b << mark;
    }
  }
  // ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴ: each narrows to a pair that joins again
  const std::string voiced =
      "\x83\x4b\x83\x4d\x83\x4f\x83\x51\x83\x53\x83\x55\x83\x57\x83\x59\x83\x5b\x83\x5d\x83\x5f\x83"
      "\x61\x83\x64\x83\x66\x83\x68\x83\x6f\x83\x72\x83\x75\x83\x78\x83\x7b\x83\x70\x83\x73\x83\x76"
      "\x83\x79\x83\x7c\x83\x94";
  for (std::size_t k = 0; k < voiced.size(); k += 2) {
    const std::string c = voiced.substr(k, 2);
    EXPECT_EQ(ZenkakuToHankaku(c).size(), 2u) << k;
    EXPECT_EQ(HankakuToZenkaku(ZenkakuToHankaku(c)), c) << k;
  }
}

// Each hiragana and its katakana narrow to the same half-width form.
TEST(ZenHan, HiraganaAndKatakanaNarrowAlike) {
  // あいうえおかきくけこがぎぐげごぱぴぷぺぽぁゃっをん
  const std::string hira =
      "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad\x82\xaf\x82\xb1\x82\xaa\x82"
      "\xac\x82\xae\x82\xb0\x82\xb2\x82\xcf\x82\xd2\x82\xd5\x82\xd8\x82\xdb\x82\x9f\x82\xe1\x82\xc1"
      "\x82\xf0\x82\xf1";
  // アイウエオカキクケコガギグゲゴパピプペポァャッヲン
  const std::string kata =
      "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4a\x83\x4c\x83\x4e\x83\x50\x83\x52\x83\x4b\x83"
      "\x4d\x83\x4f\x83\x51\x83\x53\x83\x70\x83\x73\x83\x76\x83\x79\x83\x7c\x83\x40\x83\x83\x83\x62"
      "\x83\x92\x83\x93";
  const std::string half = ZenkakuToHankaku(hira);
  EXPECT_EQ(half, ZenkakuToHankaku(kata));
  EXPECT_EQ(HankakuToZenkaku(half), kata);  // half-width kana widen to katakana only
}

TEST(ZenHan, CharAtReportsWhatItConsumed) {
  const std::string s = "\xb6\xde\xb6\xdf\x8a\xbf" "a\x82";  // ｶﾞ ｶﾟ 漢 a, lone lead
  const std::pair<std::size_t, std::string> expected[] = {
      {2, "\x83\x4b"}, {1, "\x83\x4a"}, {1, "\x81\x4b"}, {2, "\x8a\xbf"}, {1, "\x82\x81"}, {1, "\x82"}};
  std::size_t i = 0;
  for (const auto& [consumed, bytes] : expected) {
    ASSERT_LT(i, s.size());
    const yk::TZenkakuChar c = yk::ZenkakuCharAt(s, i);
    EXPECT_EQ(c.Consumed, consumed) << i;
    EXPECT_EQ(std::string(c.View()), bytes) << i;
    i += c.Consumed;
  }
  EXPECT_EQ(i, s.size());
}

}  // namespace
