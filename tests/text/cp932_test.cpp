// Character stepping in CP932 byte strings.
#include "text/cp932.h"

#include <gtest/gtest.h>
#include <string>

using namespace yk::cp932;

TEST(Cp932, LeadByteRanges) {
  for (int b = 0; b < 256; ++b) {
    bool expect = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(IsLeadByte(static_cast<unsigned char>(b)), expect) << b;
  }
}

TEST(Cp932, StepsForwardAndBackByCharacter) {
  // a あ ｱ 表(0x95 0x5C, trail looks like a backslash) lone lead at the end
  const std::string s = "a\x82\xa0\xb1\x95\x5c\x82";
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < s.size(); i = NextChar(s, i)) starts.push_back(i);
  EXPECT_EQ(starts, (std::vector<std::size_t>{0, 1, 3, 4, 6}));
  std::vector<std::size_t> back;
  for (std::size_t i = s.size(); i > 0;) back.push_back(i = PrevChar(s, i));
  EXPECT_EQ(back, (std::vector<std::size_t>{6, 4, 3, 1, 0}));
  EXPECT_EQ(CharLength(s, 6), 1u);  // a lone lead byte never reads past the end
  EXPECT_TRUE(IsTrailAt(s, 5));
  EXPECT_FALSE(IsTrailAt(s, 4));
  EXPECT_EQ(CharStart(s, 2), 1u);
}

TEST(Cp932, PrevCharOverRunsOfLeadValues) {
  // ー(0x81 0x5B) then 臼(0x8B 0x90 whose trail is itself a lead value) ×2
  const std::string s = "\x81\x5b\x8b\x90\x8b\x90";
  EXPECT_EQ(PrevChar(s, 6), 4u);
  EXPECT_EQ(PrevChar(s, 4), 2u);
  EXPECT_EQ(PrevChar(s, 2), 0u);
}

TEST(Cp932, CharStartLooksBackOnlyOverTheLeadRun) {
  // 漢字 then a run of 臼 (0x8B 0x90: both bytes are lead values)
  std::string s = "\x8a\xbf\x8e\x9a";
  for (int i = 0; i < 1000; ++i) s += "\x8b\x90";
  for (std::size_t i = 0; i < s.size(); ++i) EXPECT_EQ(CharStart(s, i), i - i % 2) << i;
  EXPECT_EQ(CharStart(s, 3, 2), 2u);  // never looks before `from`
  EXPECT_EQ(LeadRunBefore(s, 4), 2u);  // 0x9A and 0x8E; 0xBF ends the run
  EXPECT_EQ(LeadRunBefore("a\x82", 2), 1u);
}
