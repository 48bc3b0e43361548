// CP932 <-> Unicode at the edges: glyphs, clipboard and input-method text.
#include "platform/cp932_codec.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace yk;

TEST(Cp932Codec, GlyphsOfEveryKind) {
  EXPECT_EQ(cp932::Glyph("A"), u'A');
  EXPECT_EQ(cp932::Glyph("\xb1"), u'\uFF71');        // ｱ
  EXPECT_EQ(cp932::Glyph("\x82\xa0"), u'\u3042');    // あ
  EXPECT_EQ(cp932::Glyph("\x87\x40"), u'\u2460');    // ① (vendor extension)
  EXPECT_EQ(cp932::Glyph("\x95\x5c"), u'\u8868');    // 表, trail byte 0x5C
  EXPECT_EQ(cp932::Glyph("\x81\x60"), u'\uFF5E');    // ～
  EXPECT_EQ(cp932::Glyph("\xa0"), cp932::kSubstitute);      // no character
  EXPECT_EQ(cp932::Glyph("\x85\x40"), cp932::kSubstitute);  // unassigned pair
  EXPECT_EQ(cp932::Decode("a\x82"), u"a\uFFFD");  // a lone lead byte at the end
}

TEST(Cp932Codec, JisStyleCodePointsMapToTheirCp932Twins) {
  // What Unix input methods and programs produce for these characters.
  struct Case {
    std::u16string text;
    std::string bytes;
  } cases[] = {
      {u"\u301C", "\x81\x60"}, {u"\u2016", "\x81\x61"}, {u"\u2212", "\x81\x7c"}, {u"\u2014", "\x81\x5c"},
      {u"\u00A2", "\x81\x91"}, {u"\u00A3", "\x81\x92"}, {u"\u00AC", "\x81\xca"},
  };
  for (const Case& c : cases) {
    cp932::TEncoded e = cp932::Encode(c.text);
    EXPECT_EQ(e.bytes, c.bytes);
    EXPECT_EQ(e.replaced, 0);
  }
}

TEST(Cp932Codec, UnmappableCharactersBecomeQuestionMarksAndAreCounted) {
  cp932::TEncoded e = cp932::Encode(u"a\u00E9b\U0001F600c\u3042");  // é and an emoji have no CP932 form
  EXPECT_EQ(e.bytes, "a?b?c\x82\xa0");
  EXPECT_EQ(e.replaced, 2);
}

TEST(Cp932Codec, RoundTripOfEveryValidCharacter) {
  // Every pair that decodes to a character encodes back to a pair that
  // decodes to the same character (vendor duplicates pick one code).
  int checked = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      char16_t c = cp932::Glyph(bytes);
      if (c == cp932::kSubstitute) continue;
      cp932::TEncoded e = cp932::Encode(std::u16string(1, c));
      ASSERT_EQ(e.replaced, 0) << lead << " " << trail;
      ASSERT_EQ(cp932::Glyph(e.bytes), c);
      ++checked;
    }
  }
  EXPECT_GT(checked, 7000);
  EXPECT_EQ(cp932::DecodeToUtf8("\x95\x5c\x8e\xa6"), "\xe8\xa1\xa8\xe7\xa4\xba");  // 表示
  EXPECT_EQ(cp932::EncodeFromUtf8("\xe8\xa1\xa8\xe7\xa4\xba").bytes, "\x95\x5c\x8e\xa6");
}

TEST(Cp932Codec, MalformedUtf8BecomesReplacedCharacters) {
  // Overlong forms ("/" and NUL), a surrogate, a value past U+10FFFF, stray
  // and truncated bytes: each byte is one replaced character.
  struct Case {
    const char* utf8;
    const char* bytes;
  } cases[] = {
      {"a\xc0\xaf" "b", "a??b"},      {"\xc0\x80", "??"},         {"\xe0\x80\xaf", "???"},
      {"\xed\xa0\x80", "???"},         {"\xf4\x90\x80\x80", "????"}, {"\x80" "a", "?a"},
      {"\xe3\x81", "??"},             {"\xf0\x9f\x98\x80", "?"},     // an emoji: valid, but not in CP932
  };
  for (const Case& c : cases) {
    cp932::TEncoded e = cp932::EncodeFromUtf8(c.utf8);
    EXPECT_EQ(e.bytes, c.bytes) << c.utf8;
    EXPECT_EQ(e.replaced, static_cast<int>(std::count(e.bytes.begin(), e.bytes.end(), '?'))) << c.utf8;
  }
}
