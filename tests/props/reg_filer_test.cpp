// The filer's value layouts in an INI file, its read rules and its error
// messages.
#include "props/reg_manager.h"

#include <gtest/gtest.h>

#include "props/ini_text.h"
#include "temp_dir.h"

namespace yk {
namespace {

using test::Slurp;
using test::Spit;
using test::TTempDir;

class TRecordingMessages : public TRegMessages {
 public:
  void ShowError(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

class RegFilerTest : public ::testing::Test {
 protected:
  RegFilerTest() {
    manager.SetMessages(&messages);
    manager.SetIniFileName(path);
    manager.RegItems().Add("Hist", "Hist", "list");
    manager.RegItems().Add("EditProp3", "EditProp3", "prop");
    manager.RegItems().Add("Flag", "Opt", "flag", "yes");
    manager.RegItems().Add("Num", "Opt", "num", "7");
    manager.RegItems().Add("Font", "Opt", "ed");
  }
  TRegFiler& F(const char* name) { return manager.FilerOf(name); }
  std::string File() { return Slurp(path); }

  TTempDir dir;
  std::string path = dir.File("Yomikaki.ini");
  TRecordingMessages messages;
  TRegManager manager;
};

TEST_F(RegFilerTest, ItemsAreFoundWithoutRegardToCase) {
  F("hIsT").WriteString("x");
  EXPECT_EQ(File(), "[Hist]\r\nlist=x\r\n");
  EXPECT_TRUE(messages.shown.empty());
  TRegFiler& f = F("Nope");
  EXPECT_EQ(messages.shown, std::vector<std::string>{"[' Nope '] is invalid."});
  EXPECT_EQ(f.ReadString(), "");
  f.WriteString("y");
  std::vector<std::string> list{"keep"};
  f.WriteStrings(&list);
  EXPECT_EQ(File(), "[Hist]\r\nlist=x\r\n");
}

TEST_F(RegFilerTest, StoreThatCannotBeOpenedReportsEachAccess) {
  manager.SetIniFileName("");
  EXPECT_EQ(F("Num").ReadInteger(), 7);
  F("Num").WriteInteger(1);
  EXPECT_EQ(messages.shown, (std::vector<std::string>{"can not create Inifile object.", "can not create Inifile object."}));
  manager.SetRegType(rtReg);
  manager.SetRegDir("Software\\Yomikaki");
  EXPECT_EQ(F("Hist").ReadString(), "");
  EXPECT_EQ(messages.shown.back(), "can not create Registry object.");
}

TEST_F(RegFilerTest, IntegersAndTheirOddBooleanRule) {
  struct {
    const char* stored;  // nullptr: key absent
    int integer;
    bool boolean;
  } cases[] = {
      {"12", 12, true},    {"-3", -3, true},          {"0", 0, false},
      {"TRUE", 0, false},  {"256", 256, false},       {"257", 257, true},
      {"abc", 0, false},   {"99999999999", 0, false}, {" 5 ", 5, true},  // blanks around a value are layout
      {nullptr, 7, true},  // absent: the defaults "7" and "yes"
  };
  for (const auto& c : cases) {
    if (c.stored) {
      Spit(path, std::string("[Opt]\r\nnum=") + c.stored + "\r\nflag=" + c.stored + "\r\n");
    } else {
      Spit(path, "");
    }
    EXPECT_EQ(F("Num").ReadInteger(), c.integer) << (c.stored ? c.stored : "absent");
    EXPECT_EQ(F("Flag").ReadBool(), c.boolean) << (c.stored ? c.stored : "absent");
  }
  for (const char* def : {"1", "TRUE", "true", "Yes", "YES"}) {
    manager.RegItems().Items(2).SetDefaultValue(def);
    EXPECT_TRUE(F("Flag").ReadBool()) << def;
  }
  for (const char* def : {"", "0", "no", "2", "on"}) {
    manager.RegItems().Items(2).SetDefaultValue(def);
    EXPECT_FALSE(F("Flag").ReadBool()) << def;
  }
  F("Flag").WriteBool(true);
  F("Num").WriteInteger(-42);
  EXPECT_EQ(File(), "[Opt]\r\nflag=1\r\nnum=-42\r\n");
}

TEST_F(RegFilerTest, StringListsArePrunedAndBounded) {
  std::vector<std::string> five{"a", "b", "c", "d", "e"}, three{"x", "y", "z"}, none;
  F("Hist").WriteStrings(&five);
  F("Hist").WriteStrings(&three);
  EXPECT_EQ(File(), "[Hist]\r\nlist_ItemCount=3\r\nlist_Item0=x\r\nlist_Item1=y\r\nlist_Item2=z\r\n");
  std::vector<std::string> read;
  F("Hist").ReadStrings(&read);
  EXPECT_EQ(read, three);
  F("Hist").WriteStrings(&none);
  EXPECT_EQ(File(), "[Hist]\r\n");

  struct {
    const char* section;
    std::vector<std::string> want;
  } cases[] = {
      {"list_ItemCount=2\r\nlist_Item0=a\r\n", {"a", ""}},  // a missing line reads empty
      {"list_ItemCount=-5\r\nlist_Item0=a\r\n", {}},
      {"list_ItemCount=junk\r\nlist_Item0=a\r\n", {}},
      {"list_ItemCount=2000000000\r\nlist_Item0=a\r\n", {"a", ""}},  // bounded by the keys present
      {"LIST_ITEMCOUNT=1\r\nList_Item0=A\r\n", {"A"}},
      {"list_ItemCount = 2\r\nlist_Item0 = a \r\nlist_Item1 = \" b \"\r\n", {"a", " b "}},  // edited by hand
  };
  for (const auto& c : cases) {
    Spit(path, std::string("[Hist]\r\n") + c.section);
    F("Hist").ReadStrings(&read);
    EXPECT_EQ(read, c.want) << c.section;
  }
}

TEST_F(RegFilerTest, BinaryDataAsHexLines) {
  std::string bytes;
  for (int i = 0; i < 33; ++i) bytes.push_back(static_cast<char>(0xF0 + i));
  F("EditProp3").WriteStream(bytes);
  const TIniText ini(File());
  EXPECT_EQ(ini.Read("EditProp3", "prop_c"), "2");
  EXPECT_EQ(ini.Read("EditProp3", "prop_d0")->size(), 64u);
  EXPECT_EQ(ini.Read("EditProp3", "prop_d0")->substr(0, 6), "F0F1F2");
  EXPECT_EQ(ini.Read("EditProp3", "prop_d1"), "10");
  std::string back;
  F("EditProp3").ReadStream(back);
  EXPECT_EQ(back, bytes);

  F("EditProp3").WriteStream("ab");  // the old second line goes
  EXPECT_EQ(TIniText(File()).Read("EditProp3", "prop_d1"), std::nullopt);

  // Pairs that are not hexadecimal give 0; an odd last digit is a byte.
  Spit(path, "[EditProp3]\r\nprop_c=2\r\nprop_d0=0G4aF\r\nprop_d1=zz\r\n");
  back = "pre";
  F("EditProp3").ReadStream(back);
  EXPECT_EQ(back, std::string("pre\x00\x4a\x0f\x00", 7));
}

TEST_F(RegFilerTest, FontKeys) {
  TFontValue font;
  font.name = "\x82\x6c\x82\x72 Gothic";  // ＭＳ Gothic
  font.height = -19;
  font.color = clRed;
  F("Font").WriteFont(&font);
  EXPECT_EQ(File(), "[Opt]\r\ned_FontName=\x82\x6c\x82\x72 Gothic\r\ned_FontSize=14\r\ned_FontColor=clRed\r\n");
  TFontValue back;
  F("Font").ReadFont(&back);
  EXPECT_EQ(back.name, font.name);
  EXPECT_EQ(back.height, -19);
  EXPECT_EQ(back.color, clRed);

  Spit(path, "[Opt]\r\ned_FontSize=big\r\ned_FontColor=$00123456\r\n");
  TFontValue kept;
  kept.height = -13;
  F("Font").ReadFont(&kept);
  EXPECT_EQ(kept.name, TFontValue{}.name);
  EXPECT_EQ(kept.height, -13);
  EXPECT_EQ(kept.color, 0x123456);
  F("Font").ReadFont(nullptr);
}

}  // namespace
}  // namespace yk
