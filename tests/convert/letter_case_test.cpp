// Upper and lower case by character.
#include "convert/letter_case.h"
#include "convert/zenhan.h"

#include <gtest/gtest.h>

#include "platform/cp932_codec.h"
#include "text/cp932.h"

namespace yk {
namespace {

TEST(LetterCase, Examples) {
  struct Case {
    std::string_view text, upper, lower;
  };
  const Case cases[] = {
      {"abc XYZ 1_!", "ABC XYZ 1_!", "abc xyz 1_!"},
      {"\x83\x62", "\x83\x62", "\x83\x62"},                              // ッ: its trail byte is "b"
      {"\x83\x41\x83\x61", "\x83\x41\x83\x61", "\x83\x41\x83\x61"},      // アヂ: trails "A" and "a"
      {"\x82\x60\x82\x81", "\x82\x60\x82\x60", "\x82\x81\x82\x81"},      // Ａａ
      {"\x82\x79\x82\x9a", "\x82\x79\x82\x79", "\x82\x9a\x82\x9a"},      // Ｚｚ
      {"\x83\x9f\x83\xbf", "\x83\x9f\x83\x9f", "\x83\xbf\x83\xbf"},      // Αα
      {"\x83\xb6\x83\xd6", "\x83\xb6\x83\xb6", "\x83\xd6\x83\xd6"},      // Ωω
      {"\x84\x4e\x84\x7e", "\x84\x4e\x84\x4e", "\x84\x7e\x84\x7e"},      // Нн
      {"\x84\x4f\x84\x80", "\x84\x4f\x84\x4f", "\x84\x80\x84\x80"},      // Оо, past the missing 0x7F
      {"\x84\x46\x84\x76", "\x84\x46\x84\x46", "\x84\x76\x84\x76"},      // Ёё
      {"\x84\x60\x84\x91", "\x84\x60\x84\x60", "\x84\x91\x84\x91"},      // Яя
      {"\xb1\xdf" "a", "\xb1\xdf" "A", "\xb1\xdf" "a"},                   // ｱﾟ: half-width kana stay
      {"\x80\xa0\xfd\xfe\xff" "a", "\x80\xa0\xfd\xfe\xff" "A", "\x80\xa0\xfd\xfe\xff" "a"},  // not CP932
      {"a\x82", "A\x82", "a\x82"},                                        // a lone lead byte at the end
      {"\x82\x20" "a", "\x82\x20" "A", "\x82\x20" "a"},                   // a lead byte with a bad trail
      {"", "", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpperCase(c.text), c.upper) << c.text;
    EXPECT_EQ(LowerCase(c.text), c.lower) << c.text;
  }
  EXPECT_EQ(LowerCaseAscii("TXT\x82\x60\x83\x9f"), "txt\x82\x60\x83\x9f");  // ＡΑ stay for extensions
}

// Every two-byte character: exactly the 83 letter pairs change, each into
// its partner of the same letter, and nothing else does.
TEST(LetterCase, EveryTwoByteCharacter) {
  int uppered = 0, lowered = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!cp932::IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      const std::string c{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string up = UpperCase(c), low = LowerCase(c);
      if (up != c) {
        ++uppered;
        EXPECT_EQ(LowerCase(up), c);
        const std::u16string u = cp932::Decode(up), l = cp932::Decode(c);
        ASSERT_EQ(u.size(), 1u) << lead << " " << trail;
        EXPECT_TRUE(u[0] + 32 == l[0] || u[0] + 80 == l[0]) << lead << " " << trail;  // Ё is 80 from ё
      }
      if (low != c) {
        ++lowered;
        EXPECT_EQ(UpperCase(low), c);
      }
    }
  }
  EXPECT_EQ(uppered, 26 + 24 + 33);
  EXPECT_EQ(lowered, 26 + 24 + 33);
}

}  // namespace
}  // namespace yk

namespace yk {
namespace {

// Every code of the user-defined area (where a document's characters
// outside CP932 live), alone and between letters: no conversion touches
// it, also where its trail byte looks like a letter or a kana.
TEST(MappedCodes, NoConversionTouchesTheUserDefinedArea) {
  for (unsigned lead = 0xF0; lead <= 0xF9; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string text = "a" + code + "\x82\x81";  // a, the code, ａ
      ASSERT_EQ(UpperCase(text), "A" + code + "\x82\x60") << std::hex << lead << trail;
      ASSERT_EQ(LowerCase(UpperCase(text)), text);
      ASSERT_EQ(ZenkakuToHankaku(code), code);
      ASSERT_EQ(HankakuToZenkaku(code), code);
    }
  }
}

}  // namespace
}  // namespace yk
