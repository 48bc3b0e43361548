// Hostile values in stored styles and settings: a style file is outside
// data (mailed around, edited by hand), so every value a well-formed stream
// can carry must still leave a working editor, and font keys of any shape
// read safely.
#include <climits>
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
#include "temp_dir.h"

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
    // A height no toolkit can draw is not taken.
    EXPECT_LT(font.height, 0) << c.size;
    EXPECT_GE(font.height, -10000) << c.size;
  }
}

}  // namespace
}  // namespace yk
