// Reserved-word list: one case-insensitive ordering for sorting, duplicates
// and lookup; of double-byte characters only full-width letters fold.
#include "text/reserve_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/errors.h"

using namespace yk;

TEST(ReserveWords, CompareFoldsAsciiAndFullWidthLetters) {
  struct Row {
    std::string a, b;
    int sign;
  };
  const std::vector<Row> rows = {
      {"Begin", "BEGIN", 0},
      {"abc", "abd", -1},
      {"ab", "abc", -1},
      {"_", "a", 1},                     // letters compare as capitals: 'A' (0x41) < '_' (0x5F)
      {"z", "[", -1},                    // 'z' is folded to 'Z' (0x5A < 0x5B)
      {"\x82\x81\x82\x82\x82\x83", "\x82\x60\x82\x61\x82\x62", 0},  // ａｂｃ / ＡＢＣ
      {"\x82\x9a", "\x82\x79", 0},     // ｚ / Ｚ
      {"\x82\x9b", "\x82\x7a", 1},     // past ｚ nothing folds
      {"\x82\x81", "a", 1},              // full-width ａ is not the half-width a
      {"\x83\x41", "\x83\x61", -1},      // ア vs ャ: trail bytes look like A and a
      {"\x83\x61", "\x83\x41", 1},
      {"\x95\x5c" "A", "\x95\x5c" "a", 0},  // 表A / 表a: the letter after it is folded
      {"\x82", "\x82", 0},               // lone lead byte at the end
  };
  for (const Row& r : rows) {
    int c = CompareReserveWords(r.a, r.b);
    EXPECT_EQ((c > 0) - (c < 0), r.sign) << r.a << " / " << r.b;
  }
}

TEST(ReserveWords, AssignSortsAndDropsDuplicatesAndEmpties) {
  TReserveWordList list({"while", "If", "", "if", "BEGIN", "\x83\x61", "\x83\x41", "begin"});
  ASSERT_EQ(list.Count(), 5);
  // Of words equal but for case, the first one given is kept.
  EXPECT_EQ(list.Text(), "BEGIN\r\nIf\r\nwhile\r\n\x83\x41\r\n\x83\x61\r\n");
  for (const char* w : {"begin", "IF", "While", "\x83\x41", "\x83\x61"}) EXPECT_TRUE(list.Contains(w)) << w;
  for (const char* w : {"", "whil", "whilee", "\x83\x42", "end"}) EXPECT_FALSE(list.Contains(w)) << w;
  EXPECT_EQ(list.Get(0), "BEGIN");
  EXPECT_THROW(list.Get(5), EStringListError);
  EXPECT_THROW(list.Get(-1), EStringListError);
}

TEST(ReserveWords, AddKeepsOrderAndRefusesDuplicates) {
  TReserveWordList list;
  EXPECT_TRUE(list.Add("m"));
  EXPECT_TRUE(list.Add("A"));
  EXPECT_TRUE(list.Add("z"));
  EXPECT_FALSE(list.Add("M"));
  EXPECT_FALSE(list.Add(""));
  EXPECT_EQ(list.Text(), "A\r\nm\r\nz\r\n");
  // Add and Assign agree on the order, so lists built either way compare equal.
  EXPECT_EQ(list, TReserveWordList({"z", "m", "A"}));
  EXPECT_NE(list, TReserveWordList({"z", "m", "a"}));  // the stored spelling counts
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_FALSE(list.Contains("m"));
}

TEST(ReserveWords, SetTextSplitsEveryLineEnd) {
  TReserveWordList list;
  list.SetText("for\r\nend\n\r\n\ndo\rthen");
  EXPECT_EQ(list.Text(), "do\r\nend\r\nfor\r\nthen\r\n");
  TReserveWordList again;
  again.SetText(list.Text());  // Text and SetText round-trip
  EXPECT_EQ(again, list);
  list.SetText("");
  EXPECT_EQ(list.Count(), 0);
}

TEST(ReserveWords, FullWidthLettersAreOneWordInEitherCase) {
  TReserveWordList list({"\x82\x60\x82\x61\x82\x62", "\x82\x81\x82\x82\x82\x83"});  // ＡＢＣ, ａｂｃ
  EXPECT_EQ(list.Count(), 1);
  EXPECT_TRUE(list.Contains("\x82\x81\x82\x61\x82\x83"));  // ａＢｃ
  EXPECT_FALSE(list.Add("\x82\x81\x82\x82\x82\x83"));
}

TEST(ReserveWords, LookupInLargeList) {
  std::vector<std::string> words;
  for (int i = 0; i < 500; ++i) words.push_back("w" + std::to_string(i * 7));
  TReserveWordList list(words);
  for (int i = 0; i < 3500; ++i)
    EXPECT_EQ(list.Contains("W" + std::to_string(i)), i % 7 == 0) << i;
}
