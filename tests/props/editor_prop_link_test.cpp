// A property set copied onto an editor control and back keeps every setting.
#include "props/editor_prop_link.h"

#include <gtest/gtest.h>

using namespace yk;

TEST(EditorPropLink, InitialStyleRoundTripsThroughAnEditor) {
  TEditorProp style;
  SetInitialStyle(style);
  style.SetWordWrap(true);
  style.Caret().SetTabSpaceCount(6);

  TEditor editor;
  TEditorPropLink link(editor);
  style.AssignTo(link);
  EXPECT_TRUE(editor.WordWrap());
  EXPECT_EQ(editor.Caret().TabSpaceCount(), 6);
  EXPECT_EQ(editor.Font().name, style.Font().Name());
  EXPECT_EQ(editor.ScrollBars(), style.ScrollBars());
  EXPECT_EQ(editor.ReserveWordList(), style.ReserveWordList());

  TEditorProp back;
  back.Assign(link);
  EXPECT_TRUE(back == style);
}

TEST(EditorPropLink, EditorSettingsReachAPropertySet) {
  TEditor editor;
  editor.SetColor(clYellow);
  TFontSpec font = editor.Font();
  font.name = "IPAGothic";
  font.height = -20;
  font.charset = 128;
  editor.SetFont(font);
  editor.View().SetCommenter("//");
  editor.WrapOption().SetWrapByte(40);

  TEditorProp prop;
  prop.Assign(TEditorPropLink(editor));
  EXPECT_EQ(prop.Color(), clYellow);
  EXPECT_EQ(prop.Font().Name(), "IPAGothic");
  EXPECT_EQ(prop.Font().Value().charset, 128);
  EXPECT_EQ(prop.View().Commenter(), "//");
  EXPECT_EQ(prop.WrapOption().WrapByte(), 40);
}
