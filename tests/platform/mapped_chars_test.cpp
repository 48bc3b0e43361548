// The table of a document's mapped characters: which codes are given, which
// never are, merged pairs kept apart, and text through the table both ways.
#include "platform/mapped_chars.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/cp932_codec.h"

using namespace yk;

namespace {

std::u16string U16(std::u32string_view text) {
  std::u16string out;
  for (char32_t c : text) {
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
  }
  return out;
}

}  // namespace

TEST(MappedChars, CodesComeFromTheTopAndAreNeverGivenTwice) {
  TMappedChars t;
  EXPECT_EQ(t.CodeFor(U'\U0001F600'), 0xF9FC);  // 😀
  EXPECT_EQ(t.CodeFor(U'é'), 0xF9FB);
  EXPECT_EQ(t.CodeFor(U'\U0001F600'), 0xF9FC);  // the same character, the same code
  EXPECT_EQ(t.CodeFor(U'あ'), 0x82A0);          // CP932's own keeps its code
  EXPECT_EQ(t.CharOf(0xF9FB), U'é');
  EXPECT_EQ(t.CharOf(0x82A0), 0u);  // the codec's character
  // Trail 0x7F is no code: 0xF97E is followed by 0xF980.
  TMappedChars full;
  std::vector<std::uint16_t> codes;
  for (char32_t c = 0x20000; codes.size() < TMappedChars::kCapacity; ++c) codes.push_back(full.CodeFor(c));
  std::sort(codes.begin(), codes.end());
  EXPECT_EQ(std::adjacent_find(codes.begin(), codes.end()), codes.end());
  EXPECT_EQ(codes.front(), 0xF040);
  EXPECT_EQ(codes.back(), 0xF9FC);
  for (std::uint16_t code : codes) EXPECT_TRUE(TMappedChars::IsAreaCode(code)) << std::hex << code;
  EXPECT_EQ(full.CodeFor(U'\U0001F600'), cp932::kNoCode);
  EXPECT_EQ(full.CodeFor(U'\U0001F601'), cp932::kNoCode);
  EXPECT_EQ(full.CodeFor(U'\U0001F600'), cp932::kNoCode);
  EXPECT_EQ(full.Overflow(), 2);
}

TEST(MappedChars, TheDocumentsOwnUserDefinedCodesAreNeverGiven) {
  // Private use U+E000 is CP932's 0xF040: a code the document holds itself.
  TMappedChars t;
  t.NoteUsedIn("a\x81\xf9\xfc" "b\xf9\xfc\xf9");  // 0x81F9 (a symbol) then 0xF9FC, and a lone lead byte
  EXPECT_EQ(t.CodeFor(U'\U0001F600'), 0xF9FB);
  // A private-use character keeps its own code, unless that was given away.
  EXPECT_EQ(t.CodeFor(U'\uE000'), 0xF040);
  TMappedChars taken;
  for (char32_t c = 0x20000; c < 0x20000 + TMappedChars::kCapacity - 1; ++c) taken.CodeFor(c);
  EXPECT_EQ(taken.CodeFor(U'\uE001'), 0xF040);  // the last free code: U+E001's own 0xF041 went
  EXPECT_EQ(taken.CharOf(0xF040), U'\uE001');
  // A Shift-JIS document tells its codes only when the first is needed.
  TMappedChars sjis;
  int asked = 0;
  sjis.SetUsedCodeSource([&](TMappedChars& table) {
    ++asked;
    table.NoteUsedIn("\xf9\xfc");
  });
  EXPECT_EQ(sjis.CodeFor(U'あ'), 0x82A0);
  EXPECT_EQ(asked, 0);
  EXPECT_EQ(sjis.CodeFor(U'é'), 0xF9FB);
  EXPECT_EQ(sjis.CodeFor(U'ü'), 0xF9FA);
  EXPECT_EQ(asked, 1);
  // A Unicode document restored from its text: a ～ in it settles the form
  // of 0x8160, so a 〜 typed later gets a code of its own.
  TMappedChars restored(true);
  restored.SetUsedCodeSource([](TMappedChars& table) { table.NoteUsedIn("a\x81\x60"); });
  EXPECT_EQ(restored.CodeFor(U'〜'), 0xF9FC);
  EXPECT_EQ(restored.CharOf(0x8160), 0u);
}

TEST(MappedChars, MergedPairsStayApartOnlyInUnicodeDocuments) {
  const struct {
    char32_t first, second;
    std::uint16_t code;
  } pairs[] = {
      {U'〜', U'～', 0x8160}, {U'～', U'〜', 0x8160}, {U'−', U'－', 0x817C}, {U'‖', U'∥', 0x8161},
      {U'¢', U'￠', 0x8191},   {U'¬', U'￢', 0x81CA},   {U'—', U'―', 0x815C},
  };
  for (const auto& p : pairs) {
    TMappedChars unicode(true);
    EXPECT_EQ(unicode.CodeFor(p.first), p.code);
    EXPECT_EQ(unicode.CodeFor(p.second), 0xF9FC);
    EXPECT_EQ(unicode.CodeFor(p.first), p.code);
    EXPECT_EQ(cp932::Decode(std::string("\xf9\xfc") + char(p.code >> 8) + char(p.code & 0xFF), &unicode),
              U16(std::u32string{p.second, p.first}));
    TMappedChars sjis;
    EXPECT_EQ(sjis.CodeFor(p.first), p.code);
    EXPECT_EQ(sjis.CodeFor(p.second), p.code);
    EXPECT_TRUE(sjis.Plain());
  }
  // Characters CP932 writes as ASCII never take the ASCII code there.
  TMappedChars unicode(true);
  EXPECT_EQ(unicode.CodeFor(U'¥'), 0xF9FC);
  EXPECT_EQ(unicode.CodeFor(U'\\'), '\\');
  TMappedChars sjis;
  EXPECT_EQ(sjis.CodeFor(U'¥'), '\\');
}

TEST(MappedChars, EveryCodePointKeepsItsOwnCode) {
  // e + COMBINING ACUTE, 👨 ZWJ 👩, 葛 + VARIATION SELECTOR-17, a literal
  // U+FFFD and a BOM character inside the text.
  const std::u32string text = U"e\u0301\U0001F468\u200D\U0001F469\u845B\U000E0100\uFFFD\uFEFF";
  TMappedChars t(true);
  const cp932::TEncoded e = cp932::Encode(U16(text), &t);
  EXPECT_EQ(e.replaced, 0);
  EXPECT_EQ(e.bytes, "e\xf9\xfc\xf9\xfb\xf9\xfa\xf9\xf9\x8a\x8b\xf9\xf8\xf9\xf7\xf9\xf6");
  EXPECT_EQ(cp932::Decode(e.bytes, &t), U16(text));
  // Without a table they are "?" as ever, one for a surrogate pair.
  EXPECT_EQ(cp932::Encode(U16(U"\U0001F600x"), nullptr).bytes, "?x");
  // A lone surrogate has no character to keep.
  EXPECT_EQ(cp932::Encode(std::u16string(1, char16_t(0xD800)), &t).replaced, 1);
}

TEST(MappedChars, TheTableAsTextComesBackWhole) {
  TMappedChars t(true);
  t.CodeFor(U'\U0001F600');
  t.CodeFor(U'〜');
  t.CodeFor(U'～');
  t.CodeFor(U'é');
  const std::shared_ptr<TMappedChars> back = TMappedChars::Load(t.Save());
  EXPECT_TRUE(back->KeepsForms());
  EXPECT_EQ(back->Entries(), t.Entries());
  EXPECT_EQ(back->CharOf(0x8160), U'〜');
  EXPECT_NE(back->Id(), t.Id());
  // The next code given is a new one.
  EXPECT_EQ(back->CodeFor(U'ü'), 0xF9F9);
  // Damaged lines are left out: a code out of the area, a surrogate, junk,
  // a code given twice.
  const std::shared_ptr<TMappedChars> damaged =
      TMappedChars::Load("mapped-chars 1\nF9FC 1F600\n41 42\nF9FB D800\nzz\nF9FC 61\nF9FA E9 x\nF9F9 E9");
  EXPECT_FALSE(damaged->KeepsForms());
  EXPECT_EQ(damaged->Entries(), (std::vector<std::pair<std::uint16_t, char32_t>>{{0xF9F9, U'é'}, {0xF9FC, U'\U0001F600'}}));
  EXPECT_TRUE(TMappedChars::Load("")->Plain());
}
