// Hostile values in stored styles and settings: a style file is outside
// data (mailed around, edited by hand), so every value a well-formed stream
// can carry must still leave a working editor, and font keys of any shape
// read safely.
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/editor.h"
#include "platform/null_host.h"
#include "props/component_stream.h"
#include "props/editor_prop.h"
#include "props/editor_prop_link.h"
#include "props/ini_text.h"
#include "props/prop_stream.h"
#include "props/reg_manager.h"
#include "props/settings_file.h"
#include "temp_dir.h"
#include "text/errors.h"

namespace yk {
namespace {

using V = TStreamValue;

// The initial style's stream with one property replaced (or added).
std::string StyleWith(const std::string& name, const TStreamValue& value) {
  TEditorProp initial;
  SetInitialStyle(initial);
  TComponentStream c = DecodeComponent(SaveComponent(initial));
  bool found = false;
  for (TStreamProperty& p : c.properties) {
    if (p.name == name) {
      p.value = value;
      found = true;
    }
  }
  if (!found) c.properties.push_back({name, value});
  return EncodeComponent(c);
}

TEST(BadInputTest, StyleValuesOutOfEveryRangeStillGiveAWorkingEditor) {
  const std::vector<std::string> many_words(20000, "w");
  std::vector<TStreamValue> words;
  for (const std::string& w : many_words) words.push_back(V::Str(w));
  words.push_back(V::Str(""));
  words.push_back(V::Str(std::string("a\0b", 3)));
  const struct {
    const char* name;
    TStreamValue value;
  } cases[] = {
      {"WrapOption.WrapByte", V::Int(-5)},
      {"WrapOption.WrapByte", V::Int(0)},
      {"WrapOption.WrapByte", V::Int(1)},
      {"WrapOption.WrapByte", V::Int(INT_MAX)},
      {"WrapOption.WrapByte", V::Int(INT_MIN)},
      {"Caret.TabSpaceCount", V::Int(-1)},
      {"Caret.TabSpaceCount", V::Int(0)},
      {"Caret.TabSpaceCount", V::Int(INT_MAX)},
      {"Margin.Left", V::Int(INT_MAX)},
      {"Margin.Left", V::Int(INT_MIN)},
      {"Margin.Top", V::Int(INT_MAX)},
      {"Margin.Line", V::Int(-7)},
      {"Margin.Character", V::Int(INT_MAX)},
      {"Font.Height", V::Int(0)},
      {"Font.Height", V::Int(INT_MIN)},
      {"Font.Height", V::Int(INT_MAX)},
      {"Font.Name", V::Str(std::string(100000, 'F'))},
      {"Font.Name", V::Str(std::string("\x82\0", 2))},
      {"Font.Charset", V::Int(-1)},
      {"Color", V::Int(-1)},
      {"Caret.Cursors.DefaultCursor", V::Int(INT_MIN)},
      {"WrapOption.FollowStr", V::Str(std::string(70000, '\x82'))},
      {"WrapOption.LeadStr", V::Str("\x81")},
      {"ReserveWordList.Strings", V::List(words)},
      {"View.Brackets", V::Collection({{{"LeftBracket", V::Str("")}, {"RightBracket", V::Str("")}},
                                       {{"LeftBracket", V::Str("\x82")}, {"RightBracket", V::Str("\x82")}}})},
      {"WordWrap", V::Int(2)},
  };
  const std::string text = "abc\tdef\r\n" + std::string(3000, 'x') + "\r\n\x82\xa0\x82\xa2 \x82\r\n";  // あい
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TEditorProp prop;
    SetInitialStyle(prop);
    (void)LoadComponent(StyleWith(c.name, c.value), prop);  // refused or taken: both must be safe
    bench::NullHost host(TSize{400, 300});
    TEditor editor;
    editor.SetHost(&host);
    TEditorPropLink link(editor);
    prop.AssignTo(link);
    editor.Lines().SetTextStr(text);
    editor.SetWordWrap(true);
    editor.SetSelStart(editor.TextLength());
    editor.ScrollCaret();
    editor.SetSelStart(5);
    EXPECT_EQ(editor.Lines().GetTextStr(), text);
    EXPECT_GT(editor.ScreenStrings().GetCount(), 0);
    EXPECT_LT(editor.ScreenStrings().GetCount(), 4000);
  }
}

TEST(BadInputTest, FontKeysOfAnyShapeKeepTheFontUsable) {
  test::TTempDir dir;
  TRegManager manager;
  manager.SetIniFileName(dir.File("Yomikaki.ini"));
  manager.RegItems().Add("Font", "Opt", "ed");
  const struct {
    const char* size;
    const char* color;
  } cases[] = {
      {"99999999999", "$FFFFFFFFFFFF"}, {"-2147483648", "-1"}, {"0", "clNoSuchColor"},
      {"2147483647", "$"},              {"\x82\xa0", ""},      {"-0", "0x10"},
  };
  for (const auto& c : cases) {
    test::Spit(dir.File("Yomikaki.ini"), std::string("[Opt]\r\ned_FontName=") + std::string(5000, '\x82') +
                                               "\r\ned_FontSize=" + c.size + "\r\ned_FontColor=" + c.color + "\r\n");
    TFontValue font;
    font.height = -13;
    manager.FilerOf("Font").ReadFont(&font);
    // Sizes are held to what a toolkit can draw (0 is the default size).
    EXPECT_LE(std::abs(font.height), kMaxFontHeight) << c.size;
  }
}

// A FIFO, a device or a folder where the settings file should be must not
// hang the program at start or at exit: each is refused at once.
TEST(BadInputTest, SettingsFilesThatAreNoFilesAreRefusedWithoutWaiting) {
  test::TTempDir dir;
  ASSERT_EQ(::mkfifo(dir.File("fifo").c_str(), 0600), 0);
  std::filesystem::create_directory(dir.File("folder"));
  for (const std::string& path : {dir.File("fifo"), dir.File("folder"), std::string("/dev/zero")}) {
    EXPECT_THROW(ReadSettingsFile(path), EFileError) << path;
    if (path != "/dev/zero") {
      EXPECT_THROW(EditSettingsFile(path, [](const auto&) { return std::optional<std::string>("x"); }), EFileError)
          << path;
    }
  }
}

}  // namespace
}  // namespace yk
