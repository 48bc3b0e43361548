// Plain settings values: defaults for missing or malformed keys, and many
// values written in one replacement that keeps every other line.
#include <gtest/gtest.h>

#include "shell/settings_values.h"
#include "temp_dir.h"

namespace yk {
namespace {

TEST(SettingsValuesTest, MalformedValuesReadAsTheDefault) {
  const TIniText ini("[S]\r\nn=42\r\nneg=-7\r\nhex=$10\r\nblank=\r\nspace= 3\r\nbig=99999999999\r\nword=yes\r\n"
                     "zero=0\r\nfloat=1.5\r\n");
  struct {
    const char* key;
    int integer;   // with default 5
    bool boolean;  // with default true
  } const cases[] = {
      // Blanks around a value are layout: " 3" is 3.
      {"n", 42, true},     {"neg", -7, true},  {"hex", 5, true},  {"blank", 5, true}, {"space", 3, true},
      {"big", 5, true},    {"word", 5, true},  {"zero", 0, false}, {"float", 5, true}, {"missing", 5, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IniInt(ini, "S", c.key, 5), c.integer) << c.key;
    EXPECT_EQ(IniBool(ini, "S", c.key, true), c.boolean) << c.key;
  }
  EXPECT_EQ(IniString(ini, "s", "WORD", "d"), "yes");
  EXPECT_EQ(IniString(ini, "S", "none", "d"), "d");
}

TEST(SettingsValuesTest, WriteIniValuesKeepsOtherLinesAndReadingNeverThrows) {
  test::TTempDir dir;
  const std::string path = dir.File("s.ini");
  EXPECT_FALSE(ReadIniFile(path).Read("A", "x").has_value());
  test::Spit(path, "; comment\r\n[A]\r\nx=1\r\nkeep=me\r\n");
  WriteIniValues(path, {{"A", "x", "2"}, {"B", "y", "line\r\nbreak"}, {"A", "z", "3"}});
  EXPECT_EQ(test::Slurp(path), "; comment\r\n[A]\r\nx=2\r\nkeep=me\r\nz=3\r\n[B]\r\ny=line\r\n");
  EXPECT_EQ(ReadIniFile(dir.Path()).Text(), "");  // a folder reads as empty
}

}  // namespace
}  // namespace yk
