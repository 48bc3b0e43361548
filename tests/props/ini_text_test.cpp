// The INI text: lookups, edits that leave the rest of the file alone, and
// names with double-byte characters.
#include "props/ini_text.h"

#include <gtest/gtest.h>

#include "text/errors.h"

namespace yk {
namespace {

TEST(IniText, ReadsSectionsAndKeysWithoutRegardToCase) {
  const TIniText ini(
      "top=ignored\r\n"
      "; comment=1\r\n"
      "[Win]\r\n"
      "SizePosSave=1\r\n"
      "  Spaced Key  = value with spaces \r\n"
      "noequals\r\n"
      "[ Memo ]\r\n"
      "DayTimeFormat=yy_m_d\r\n"
      "dup=first\r\n"
      "DUP=second\r\n"
      "[win]\r\n"
      "Late=1\r\n");
  struct {
    const char* section;
    const char* key;
    std::optional<std::string> want;
  } cases[] = {
      {"WIN", "sizepossave", "1"},
      {"win", "Spaced Key", "value with spaces"},  // blanks around a value are not part of it
      {"Memo", "daytimeformat", "yy_m_d"},
      {"Memo", "dup", "first"},
      {"Win", "Late", std::nullopt},  // only the first section of a name counts
      {"Win", "noequals", std::nullopt},
      {"Win", "; comment", std::nullopt},
      {"", "top", std::nullopt},
      {"Missing", "x", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ini.Read(c.section, c.key), c.want) << c.section << "/" << c.key;
}

TEST(IniText, DoubleByteNamesFoldOnlyRealLetters) {
  // [表] with 表 = 0x95 0x5C; [ア] = 0x83 0x41, whose trail byte is an 'A'
  // and must not match ャ = 0x83 0x61; full-width Ａ matches ａ.
  const TIniText ini(
      "[\x95\x5c]\r\nk=1\r\n"
      "[\x83\x41]\r\nk=2\r\n"
      "[x\x82\x60]\r\nk=3\r\n"
      "[a\x81\x5d]\r\nk=4\r\n");  // a‐ : the trail byte 0x5D looks like ']'
  EXPECT_EQ(ini.Read("\x95\x5c", "k"), "1");
  EXPECT_EQ(ini.Read("\x83\x41", "k"), "2");
  EXPECT_EQ(ini.Read("\x83\x61", "k"), std::nullopt);
  EXPECT_EQ(ini.Read("X\x82\x81", "K"), "3");
  EXPECT_EQ(ini.Read("A\x81\x5d", "k"), "4");
}

TEST(IniText, WritesSectionsEndingInADoubleByteCharacter) {
  TIniText ini;
  for (const char* section : {"\x95\x5c", "a\x81\x5d", "\x83\x41\x83\x41"}) {  // 表, a‐, アア
    EXPECT_TRUE(ini.Write(section, "k", "v")) << section;
    EXPECT_EQ(ini.Read(section, "k"), "v") << section;
  }
}

TEST(IniText, EditsLeaveEverythingElseAsItWas) {
  const std::string original =
      "\xEF\xBB\xBF; settings\n"
      "[A]\n"
      "x = 1\n"
      "y=2\n"
      "; end of A\n"
      "\n"
      "[B]\n"
      "z=3";
  TIniText ini(original);
  EXPECT_EQ(ini.Text(), original);
  EXPECT_FALSE(ini.Write("a", "Y", "2"));  // same value: no change
  EXPECT_TRUE(ini.Write("a", "X", "10"));  // the key keeps its spelling and spacing
  EXPECT_TRUE(ini.Write("A", "new", "n"));  // after the last key, before the comment
  EXPECT_TRUE(ini.Write("B", "w", "4"));    // after an unterminated last line
  EXPECT_TRUE(ini.Write("C", "v", "5"));    // a new section at the end
  EXPECT_EQ(ini.Text(),
            "\xEF\xBB\xBF; settings\n"
            "[A]\n"
            "x =10\n"
            "y=2\n"
            "new=n\n"
            "; end of A\n"
            "\n"
            "[B]\n"
            "z=3\n"
            "w=4\n"
            "[C]\n"
            "v=5\n");
  EXPECT_TRUE(ini.Delete("A", "Y"));
  EXPECT_FALSE(ini.Delete("A", "y"));
  EXPECT_TRUE(ini.EraseSection("b"));
  EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF; settings\n[A]\nx =10\nnew=n\n; end of A\n\n[C]\nv=5\n");
}

TEST(IniText, NewFileUsesCrLfAndDeleteRemovesDuplicates) {
  TIniText ini;
  ini.Write("S", "k", "v");
  EXPECT_EQ(ini.Text(), "[S]\r\nk=v\r\n");
  TIniText dup("[S]\r\nk=1\r\nK=2\r\n");
  EXPECT_TRUE(dup.Delete("S", "k"));
  EXPECT_EQ(dup.Read("S", "k"), std::nullopt);  // a removed key does not come back
}

TEST(IniText, ValuesCannotForgeLinesAndBadNamesAreRefused) {
  TIniText ini;
  ini.Write("S", "k", "line1\r\n[Evil]\r\nx=1");
  ini.Write("S", "n", std::string("a\0b", 3));
  EXPECT_EQ(ini.Text(), "[S]\r\nk=line1\r\nn=a\r\n");
  for (const char* section : {"", "a]b", "a\nb", " a", "a\x82"}) {  // "a\x82": a lone lead byte would pair with ']'
    EXPECT_THROW(ini.Write(section, "k", "v"), Exception) << section;
  }
  for (const char* key : {"", "a=b", "[k", ";k", "k\r", "k "}) {
    EXPECT_THROW(ini.Write("S", key, "v"), Exception) << key;
    EXPECT_THROW(ini.Write("New", key, "v"), Exception) << key;
    EXPECT_THROW(ini.WriteMany("New", {{"good", "1"}, {key, "v"}}), Exception) << key;
  }
  EXPECT_EQ(ini.Text(), "[S]\r\nk=line1\r\nn=a\r\n");  // a refused name changes nothing
}

TEST(IniText, ManyKeysAtOnce) {
  TIniText ini("[L]\r\nlist_Item0=a\r\nlist_Item5=stale\r\n; note\r\n");
  EXPECT_TRUE(ini.WriteMany("L", {{"list_ItemCount", "2"}, {"LIST_ITEM0", "a"}, {"list_Item1", "b"}, {"list_Item1", "dup"}}));
  EXPECT_TRUE(ini.DeleteMany("l", {"list_item5", "absent"}));
  EXPECT_EQ(ini.Text(), "[L]\r\nlist_Item0=a\r\nlist_ItemCount=2\r\nlist_Item1=b\r\n; note\r\n");
  EXPECT_EQ(ini.SectionValues("L").size(), 3u);
  EXPECT_TRUE(ini.WriteMany("New", {{"a", "1"}}));
  EXPECT_EQ(ini.Read("new", "A"), "1");
}

// Blanks around a value are dropped as other INI readers drop them; quotes
// keep them, and a value written with such blanks or quotes is quoted so
// that it reads back as it was.
TEST(IniText, ValuesAreTrimmedUnlessQuoted) {
  const TIniText ini(
      "[S]\r\n"
      "count = 3\r\n"
      "tab=\t72\t\r\n"
      "inner=a  b\r\n"
      "quoted= \"  x  \" \r\n"
      "single='  y '\r\n"
      "half=\"open\r\n"
      "empty=  \r\n"
      "kanji= \x95\x5c \r\n");  // 表, whose trail byte is no blank
  const std::pair<const char*, const char*> reads[] = {
      {"count", "3"}, {"tab", "72"}, {"inner", "a  b"}, {"quoted", "  x  "},
      {"single", "  y "}, {"half", "\"open"}, {"empty", ""}, {"kanji", "\x95\x5c"},
  };
  for (const auto& [key, want] : reads) EXPECT_EQ(ini.Read("S", key), want) << key;
  EXPECT_EQ(ini.SectionValues("S").front().second, "3");
  EXPECT_EQ(ini.SectionMap("S").at("TAB"), "72");

  TIniText out;
  const char* values[] = {" lead", "trail ", "\"quoted\"", "'single'", "\"", "a \"b\"", "", "\t"};
  for (const char* v : values) {
    out.Write("S", "k", v);
    EXPECT_EQ(out.Read("S", "k"), v) << v;
  }
  EXPECT_EQ(TIniText("[S]\r\nk=\" lead\"\r\n").Read("S", "k"), " lead");
  // Writing the value a line already holds changes nothing, however it is spaced.
  TIniText spaced("[S]\r\nk = 3 \r\n");
  EXPECT_FALSE(spaced.Write("S", "k", "3"));
  EXPECT_EQ(spaced.Text(), "[S]\r\nk = 3 \r\n");
}

TEST(IniText, ArbitraryBytesAndLongLines) {
  std::string junk(100000, 'x');
  junk += "\r\r\n\n[\x81]\n=\n[]\n\x81=\x82\n[S]\nk=" + std::string(70000, '\xff') + "\n";
  TIniText ini(junk);
  EXPECT_EQ(ini.Text(), junk);
  EXPECT_EQ(ini.Read("S", "k")->size(), 70000u);
}

}  // namespace
}  // namespace yk
