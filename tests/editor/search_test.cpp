// The text search routine: options, selections, offsets and character
// boundaries.
#include "editor/search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "text/cp932.h"

using namespace yk;

namespace {

// "start,length" of the match, or "-" when nothing is found.
std::string Find(std::string_view text, std::string_view pattern, TSearchOptions options,
                 std::int64_t start = 0, std::int64_t length = 0) {
  TSearchRange r{start, length};
  if (!SearchText(text, r, pattern, options)) return "-";
  return std::to_string(r.Start) + "," + std::to_string(r.Length);
}

struct TCase {
  const char* Name;
  std::string Text;
  std::string Pattern;
  TSearchOptions Options;
  std::int64_t Start;
  std::string Expected;
};

void RunCases(const std::vector<TCase>& cases) {
  for (const TCase& c : cases) {
    EXPECT_EQ(Find(c.Text, c.Pattern, c.Options, c.Start), c.Expected) << c.Name;
  }
}

constexpr TSearchOptions F = sfForward;
constexpr TSearchOptions B = 0;

TEST(SearchText, CaseAndCharacterBoundaries) {
  RunCases({
      {"empty pattern", "abc", "", F, 0, "-"},
      {"empty text", "", "a", F, 0, "-"},
      {"A finds a", "xa", "A", F, 0, "1,1"},
      {"case kept", "xaA", "A", F | sfMatchCase, 0, "2,1"},
      {"Ａ finds ａ", "\x82\x81", "\x82\x60", F, 0, "0,2"},
      {"ａ finds Ａ", "\x82\x60", "\x82\x81", F, 0, "0,2"},
      {"ａ is not Ａ with case", "\x82\x60\x82\x81", "\x82\x81", F | sfMatchCase, 0, "2,2"},
      // ィッ: ッ is 0x83 0x62 and must not be upper-cased into ィ (0x83 0x42)
      {"trail never upper-cased", "\x83\x42\x83\x62", "\x83\x62", F, 0, "2,2"},
      // アA: from the trail byte of ア (0x83 0x41) the search starts after it
      {"start on a trail byte", "\x83\x41\x41", "A", F, 1, "2,1"},
      {"no match inside a character", "\x83\x41", "A", F, 0, "-"},
      {"backward over a trail", "\x83\x41\x41", "A", B, 3, "2,1"},
      {"backward no trail match", "\x83\x41", "A", B, 2, "-"},
      // 臼臼 (0x8B 0x90, trail is a lead value): 0x90 0x8B is no character
      {"run of lead values", "\x8b\x90\x8b\x90", "\x90\x8b", F, 0, "-"},
      {"run of lead values back", "\x8b\x90\x8b\x90", "\x90\x8b", B, 4, "-"},
      {"lone lead byte at the end", "ab\x82", "\x82", F, 0, "2,1"},
      {"lone lead byte backward", "ab\x82", "b\x82", B, 3, "1,2"},
  });
}

TEST(SearchText, SelectionWalksThroughMatches) {
  const std::string text = "abc abc abc";
  // The only occurrence selected: found in neither direction.
  EXPECT_EQ(Find("xabcx", "abc", F, 1, 3), "-");
  EXPECT_EQ(Find("xabcx", "abc", B, 1, 3), "-");
  EXPECT_EQ(Find("xabcx", "abc", B, 4, 0), "1,3");  // caret right after it
  for (const TSearchOptions dir : {F, B}) {
    TSearchRange r{dir == F ? 0 : static_cast<std::int64_t>(text.size()), 0};
    std::vector<std::int64_t> starts;
    while (SearchText(text, r, "abc", dir)) starts.push_back(r.Start);
    const std::vector<std::int64_t> expected =
        dir == F ? std::vector<std::int64_t>{0, 4, 8} : std::vector<std::int64_t>{8, 4, 0};
    EXPECT_EQ(starts, expected);
    EXPECT_EQ(r.Start, expected.back());  // the failed call left the last match alone
    EXPECT_EQ(r.Length, 3);
  }
}

// A selection that does not lie inside the text finds nothing, rather than
// being moved into it.
TEST(SearchText, SelectionsOutsideTheTextFindNothing) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
  EXPECT_EQ(Find("abc", "a", F, kMin, kMin), "-");
  EXPECT_EQ(Find("abc", "b", F, -5, 1), "-");
  EXPECT_EQ(Find("abc", "c", F, 0, -1), "-");
  EXPECT_EQ(Find("abc", "c", F, 1, kMax), "-");
  EXPECT_EQ(Find("abc", "c", B, kMax, 0), "-");
  EXPECT_EQ(Find("abc", "c", B, kMax, kMax), "-");
  EXPECT_EQ(Find("b", "b", B, 30, 0), "-");
  EXPECT_EQ(Find("b", "b", F, 30, 0), "-");
  EXPECT_EQ(Find("abc", "c", B, 3, -1), "-");
  EXPECT_EQ(Find("abc", "a", B, 1, kMax), "0,1");  // backward only its start counts
  // The end of the text is inside it.
  EXPECT_EQ(Find("abc", "c", B, 3, 0), "2,1");
  EXPECT_EQ(Find("abc", "a", F, 0, 0), "0,1");
  EXPECT_EQ(Find("abc", "abcd", B, 3, 0), "-");
}

TEST(SearchText, WholeWord) {
  constexpr TSearchOptions W = sfWholeWord;
  RunCases({
      {"underscore delimits", "abc_def", "abc", F | W, 0, "0,3"},
      {"not inside a word", "xabc", "abc", F | W, 0, "-"},
      {"not inside a word back", "xabc", "abc", B | W, 4, "-"},
      {"next word start", "xabc abc", "abc", F | W, 0, "5,3"},
      {"end of text ends a word", "x abc", "abc", F | W, 0, "2,3"},
      {"followed by a word byte", "abcd", "abc", F | W, 0, "-"},
      // The last candidate of a backward scan is checked like the others.
      {"first candidate backward", "abcd", "abc", B | W, 4, "-"},
      {"backward to offset 0", "abc d", "abc", B | W, 5, "0,3"},
      {"latest word backward", "abc,abc;abcx", "abc", B | W, 12, "4,3"},
      {"word after a full-width space", "\x81\x40" "abc", "abc", F | W, 0, "2,3"},  // 　abc
      {"kana is a word byte", "\xb1" "abc", "abc", F | W, 0, "-"},                  // ｱabc
  });
}

TEST(SearchText, NoMatchZenkaku) {
  constexpr TSearchOptions Z = sfNoMatchZenkaku;
  RunCases({
      {"ア finds ｱ", "x\xb1", "\x83\x41", F | Z, 0, "1,1"},
      {"ガ finds ｶﾞ", "x\xb6\xde", "\x83\x4b", F | Z, 0, "1,2"},
      {"ｶﾞ finds ガ", "x\x83\x4b", "\xb6\xde", F | Z, 0, "1,2"},
      {"ｶﾞ finds ｶﾞ back", "\xb6\xde", "\xb6\xde", B | Z, 2, "0,2"},
      {"ab finds ａｂ", "\x82\x81\x82\x82", "ab", F | Z, 0, "0,4"},
      {"ab finds ab", "xab", "ab", F | Z, 0, "1,2"},
      {"ab finds ＡＢ", "\x82\x60\x82\x61", "ab", F | Z, 0, "0,4"},
      {"case kept", "\x82\x60\x82\x81", "a", F | Z | sfMatchCase, 0, "2,2"},  // Ａａ
      {"カ does not find ｶﾞ", "\xb6\xde", "\x83\x4a", F | Z, 0, "-"},
      {"ｶﾟ finds ｶﾟ", "x\xb6\xdf", "\xb6\xdf", F | Z, 0, "1,2"},
      {"ｶﾟ finds ｶﾟ back", "x\xb6\xdf", "\xb6\xdf", B | Z, 3, "1,2"},
      {"ｶﾟ finds カ゜", "\x83\x4a\x81\x4b", "\xb6\xdf", F | Z, 0, "0,4"},
      {"tab at its own length", "a\tb", "a\tb", F | Z, 0, "0,3"},
      {"tab back", "a\tb", "\tb", B | Z, 3, "1,2"},
      // 宛ﾞ: the trail of 宛 (0x88 0xB6) has the value of ｶ but joins no mark
      {"trail is no kana", "\x88\xb6\xde", "\xde", B | Z, 3, "2,1"},
      {"trail is no kana fwd", "\x88\xb6\xde", "\x81\x4a", F | Z, 0, "2,1"},
      {"pattern longer than text", "\xb6\xde", "\x83\x4b\x83\x4b", B | Z, 2, "-"},
  });
}

TEST(SearchText, SkipsLineBreaksAndBlanks) {
  constexpr TSearchOptions L = sfSkipLineBreaks;
  constexpr TSearchOptions S = sfSkipBlanks;
  RunCases({
      {"across CR LF", "xa\r\nb", "ab", F | L, 0, "1,4"},
      {"across CR LF back", "xa\r\nb", "ab", B | L, 5, "1,4"},
      {"not without the bit", "a\r\nb", "ab", F | S, 0, "-"},
      {"never starts with a break", "\r\nab", "ab", F | sfIncludeCRLF, 0, "2,2"},
      {"blanks", "a \t\x81\x40" "b", "ab", F | S, 0, "0,6"},  // a, space, tab, 　, b
      {"blanks need their bit", "a b", "ab", F | L, 0, "-"},
      {"break and blank", "a\r\n  b", "ab", F | sfIncludeCRLF, 0, "0,6"},
      {"width-blind too", "\xb1\r\n\x82\x81", "\x83\x41" "A", F | sfNoMatchZenkaku | L, 0, "0,5"},
  });
}

// Random texts built from pieces that trip byte-level searches: kana with
// and without marks, trail bytes that look like kana or ASCII, runs of lead
// values, line breaks, blanks and a lone lead byte at the end.
std::string RandomText(std::mt19937& rng, int pieces) {
  static const std::vector<std::string> kPieces = {
      "a", "A", "b", "_", " ", "\r\n", "\t",
      "\xb6", "\xde", "\xdf", "\xca", "\xb3",   // ｶ ﾞ ﾟ ﾊ ｳ
      "\x83\x4a", "\x83\x4b", "\x82\x81",      // カ ガ ａ
      "\x88\xb6", "\x83\x41", "\x8b\x90",      // 宛 ア 臼
      "\x81\x40"};                                 // 　
  std::string s;
  for (int k = 0; k < pieces; ++k) s += kPieces[rng() % kPieces.size()];
  if (rng() % 4 == 0) s += "\x82";
  return s;
}

const TSearchOptions kCompareOptions[] = {
    0, sfMatchCase, sfNoMatchZenkaku, sfNoMatchZenkaku | sfMatchCase, sfIncludeCRLF,
    sfNoMatchZenkaku | sfIncludeCRLF};

TEST(SearchText, EveryTextFindsItself) {
  std::mt19937 rng(7);
  for (int round = 0; round < 300; ++round) {
    const std::string t = RandomText(rng, 1 + round % 6);
    const auto size = static_cast<std::int64_t>(t.size());
    const std::string whole = "0," + std::to_string(size);
    for (const TSearchOptions o : kCompareOptions) {
      EXPECT_EQ(Find(t, t, o | sfForward), whole) << round << " " << o;
      EXPECT_EQ(Find(t, t, o, size), whole) << round << " " << o;
    }
  }
}

// A backward search finds the latest character start, at least the
// pattern's length before the caret, where a forward search from that
// start matches; matches stay inside the text whatever the offsets.
TEST(SearchText, BackwardFindsTheLatestMatch) {
  std::mt19937 rng(11);
  for (int round = 0; round < 200; ++round) {
    const std::string t = RandomText(rng, 12);
    const std::string pattern = RandomText(rng, 1 + round % 2);
    for (const TSearchOptions o : {TSearchOptions{0}, sfMatchCase, sfWholeWord, sfIncludeCRLF}) {
      std::vector<bool> match_at(t.size() + 1, false);
      for (std::size_t q = 0; q < t.size(); q = cp932::NextChar(t, q)) {
        match_at[q] = Find(t, pattern, o | sfForward, static_cast<std::int64_t>(q)).starts_with(
            std::to_string(q) + ",");
      }
      for (std::size_t caret = 0; caret <= t.size(); ++caret) {
        std::string expected = "-";
        for (std::size_t q = 0; q + pattern.size() <= caret; q = cp932::NextChar(t, q)) {
          if (match_at[q]) expected = std::to_string(q);
        }
        TSearchRange r{static_cast<std::int64_t>(caret), 0};
        const bool found = SearchText(t, r, pattern, o);
        EXPECT_EQ(found ? std::to_string(r.Start) : "-", expected) << round << " " << o << " " << caret;
        if (found) {
          EXPECT_LE(r.Start + r.Length, static_cast<std::int64_t>(t.size()));
        }
      }
    }
  }
}

// Arbitrary bytes, options and offsets: a match lies inside the text, starts
// on a character boundary and on the requested side of the selection.
TEST(SearchText, AnyBytesStayInsideTheText) {
  std::mt19937 rng(3);
  auto bytes = [&rng](std::size_t n) {
    std::string s;
    static const unsigned char kLikely[] = {0x82, 0x81, 0xB6, 0xDE, 0x40, 'a', '\r', ' '};
    for (std::size_t k = 0; k < n; ++k)
      s += static_cast<char>(rng() % 2 ? kLikely[rng() % 8] : rng() % 256);
    return s;
  };
  for (int round = 0; round < 3000; ++round) {
    const std::string t = bytes(rng() % 12);
    const std::string pattern = bytes(1 + rng() % 3);
    const auto options = static_cast<TSearchOptions>(rng() % 0x200);
    const std::int64_t size = static_cast<std::int64_t>(t.size());
    TSearchRange r{static_cast<std::int64_t>(rng() % 20) - 4, static_cast<std::int64_t>(rng() % 20) - 4};
    const TSearchRange before = r;
    if (!SearchText(t, r, pattern, options)) {
      EXPECT_EQ(r, before);
      continue;
    }
    ASSERT_GE(r.Start, 0);
    ASSERT_GT(r.Length, 0);
    ASSERT_LE(r.Start + r.Length, size);
    EXPECT_FALSE(cp932::IsTrailAt(t, static_cast<std::size_t>(r.Start))) << round;
    ASSERT_GE(before.Start, 0) << round;
    ASSERT_GE(before.Length, 0) << round;
    if (options & sfForward) {
      ASSERT_LE(before.Start + before.Length, size) << round;
      EXPECT_GE(r.Start, before.Start + before.Length) << round;
    } else {
      EXPECT_LT(r.Start, before.Start) << round;
    }
  }
}

}  // namespace

// Codes of the user-defined area (a document's characters outside CP932)
// match only themselves, whatever the case and width options, also where
// their trail byte looks like a letter; ａ and a still find each other.
TEST(SearchText, MappedCodesMatchOnlyThemselves) {
  const std::string text = "\xf9\x61\xf9\x41\xf0\x81\x82\x81" "a\xf9\x60";  // codes F961 F941 F081, ａ, a, F960
  const struct {
    std::string pattern;
    const char* found;         // without the width option
    const char* foundAnyWidth;  // with it
  } cases[] = {
      {"\xf9\x61", "0,2", "0,2"}, {"\xf9\x41", "2,2", "2,2"}, {"\xf0\x81", "4,2", "4,2"},
      {"\xf9\x60", "9,2", "9,2"}, {"A", "8,1", "6,2"},
  };
  for (const auto& c : cases)
    for (const TSearchOptions options : {F, static_cast<TSearchOptions>(F | sfNoMatchZenkaku)}) {
      const bool any = options & sfNoMatchZenkaku;
      EXPECT_EQ(Find(text, c.pattern, options), any ? c.foundAnyWidth : c.found) << testing::PrintToString(c.pattern);
      if (c.pattern != "A") {
        EXPECT_EQ(Find(text, c.pattern, options | sfMatchCase), any ? c.foundAnyWidth : c.found);
      }
    }
}
