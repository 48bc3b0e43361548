// Search histories in the settings text: plain as before, and whole texts
// with line breaks.
#include "shell/search_history.h"

#include <gtest/gtest.h>

namespace yk {
namespace {

using Strings = std::vector<std::string>;

TEST(SearchHistory, EscapesRoundTrip) {
  const std::string nul("a\0b", 3);
  for (const std::string& text : {std::string("foo\r\nbar"), std::string("C:\\new\\x"), std::string("\\"), nul,
                                  std::string("\n\r\\r"), std::string("\x82\xa0\r\n\x95\x5c")}) {  // あ / 表
    const std::string escaped = EscapeLineBreaks(text);
    EXPECT_EQ(escaped.find_first_of(std::string_view("\r\n\0", 3)), std::string::npos);
    EXPECT_EQ(UnescapeLineBreaks(escaped), text);
  }
  EXPECT_EQ(UnescapeLineBreaks("a\\tb\\"), "a\\tb\\");  // unknown and lone escapes stand for themselves
}

// A history without line breaks is stored as it always was; one with a
// line break is kept whole, and so are the others beside it. Settings
// written before read as they are.
TEST(SearchHistory, StoredWholeAndPlainWhereItCan) {
  TIniText text;
  const Strings plain{"abc", "C:\\new"};
  WriteSearchHistory(text, kSearchHistoryPlace, plain);
  EXPECT_EQ(text.Read("Hist", "list_Item1"), "C:\\new");
  EXPECT_FALSE(text.Read("Hist", "Escaped"));
  EXPECT_EQ(ReadSearchHistory(text, kSearchHistoryPlace), plain);

  const Strings broken{"foo\r\nbar", "foo", "C:\\new"};
  WriteSearchHistory(text, kSearchHistoryPlace, broken);
  EXPECT_EQ(ReadSearchHistory(text, kSearchHistoryPlace), broken);
  EXPECT_EQ(ReadSearchHistory(TIniText(text.Text()), kSearchHistoryPlace), broken);
  EXPECT_TRUE(ReadSearchHistory(text, kReplaceHistoryPlace).empty());

  WriteSearchHistory(text, kSearchHistoryPlace, plain);  // plain again
  EXPECT_EQ(ReadSearchHistory(text, kSearchHistoryPlace), plain);
  EXPECT_FALSE(text.Read("Hist", "Escaped"));

  const TIniText old("[Hist]\r\nlist_ItemCount=1\r\nlist_Item0=a\\nb\r\n");
  EXPECT_EQ(ReadSearchHistory(old, kSearchHistoryPlace), Strings{"a\\nb"});
}

}  // namespace
}  // namespace yk
