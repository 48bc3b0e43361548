// Comma text: field rules of the splitter and round trips through the joiner.
#include "shell/comma_text.h"

#include <gtest/gtest.h>

namespace yk {
namespace {

std::string Show(const std::vector<std::string>& fields) {
  std::string out;
  for (const auto& f : fields) out += "<" + f + ">";
  return out;
}

TEST(CommaText, SplitRules) {
  struct Case {
    std::string_view text;
    std::string_view fields;
  };
  const Case cases[] = {
      {"", ""},
      {"   \t ", ""},
      {"txt,doc", "<txt><doc>"},
      {"txt doc", "<txt><doc>"},            // a blank separates like a comma
      {"  txt ,  doc  ", "<txt><doc>"},     // blanks around fields and commas
      {"a,,b", "<a><><b>"},                 // two commas: an empty field
      {",a", "<><a>"},
      {"a,", "<a>"},                        // a comma at the end gives none
      {"a, ,b", "<a><><b>"},                // a comma, blanks, a comma
      {"a ,,b", "<a><><b>"},
      {"\"a b\",c", "<a b><c>"},            // quoted blanks and commas stay
      {"\"x,y\"", "<x,y>"},
      {"\"say \"\"hi\"\"\",z", "<say \"hi\"><z>"},
      {"\"\"", "<>"},                       // an empty quoted field
      {"\"open to the end", "<open to the end>"},
      {"\"ab\"cd,e", "<ab><cd><e>"},        // text after the closing quote is a new field
      {"ab\"c", "<ab\"c>"},                 // a quote inside a plain field is plain
      {"a\x01" "b\x1f" "c", "<a><b><c>"},    // control bytes separate
      {"a\0b,c", "<a>"},                    // NUL ends the text
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Show(SplitCommaText(c.text)), c.fields) << c.text;
  }
}

TEST(CommaText, DoubleByteCharactersAreUnits) {
  // ソ is 0x83 0x5C; 表 is 0x95 0x5C; the trail bytes are no separators.
  EXPECT_EQ(Show(SplitCommaText("\x83\x5c,\x95\x5c")), "<\x83\x5c><\x95\x5c>");
  // A lead byte pairs with whatever follows it, even a comma or a quote.
  EXPECT_EQ(Show(SplitCommaText("a\x81,b")), "<a\x81,b>");
  EXPECT_EQ(Show(SplitCommaText("\"a\x81\"\"b\"")), "<a\x81\"><b\">");
  // A lone lead byte at the end is a character of its own.
  EXPECT_EQ(Show(SplitCommaText("a,\x82")), "<a><\x82>");
}

TEST(CommaText, JoinRoundTrips) {
  const std::vector<std::vector<std::string>> lists = {
      {},
      {"txt", "doc"},
      {"a b", "c,d", "say \"hi\"", ""},
      {"", ""},
      {"\x82\xa0\x82\xa2"},  // あい
      {"tab\there", "\"", " lead"},
      // Invalid CP932, as split from a damaged file: a quote or comma taken
      // as a trail byte is neither, and a last field may end in a lone lead.
      {"c\x82\"", "d\x81,", "\x82"},
      {"x \x82\"", "y \x82"},
  };
  for (const auto& fields : lists) {
    const std::string text = JoinCommaText(fields);
    EXPECT_EQ(SplitCommaText(text), fields) << text;
  }
  EXPECT_EQ(JoinCommaText({"txt", "a b", ""}), "txt,\"a b\",\"\"");
}

}  // namespace
}  // namespace yk
