// TEditorPopupMenu: items and shortcuts, enabling from the editor's state,
// actions, the box-mode check mark and the editor's menu assignment.
#include <gtest/gtest.h>

#include "editor_fixture.h"

namespace yk::test {
namespace {

class PopupMenu : public EditorTest {
 protected:
  TEditorPopupMenu& Menu() { return *ed.PopupMenu(); }
  int IndexOf(TEditorMenuCommand command) {
    for (int i = 0; i < Menu().Count(); ++i)
      if (Menu().Items(i).command == command) return i;
    return -1;
  }
  bool Enabled(TEditorMenuCommand command) { return Menu().Items(IndexOf(command)).enabled; }
  // The commands enabled after the opening handler, in menu order.
  std::vector<TEditorMenuCommand> EnabledCommands() {
    Menu().Popup();
    std::vector<TEditorMenuCommand> out;
    for (int i = 0; i < Menu().Count(); ++i)
      if (Menu().Items(i).command != pmSeparator && Menu().Items(i).enabled) out.push_back(Menu().Items(i).command);
    return out;
  }
};

TEST_F(PopupMenu, ItemsCaptionsAndShortcuts) {
  struct Expect {
    const char* caption;
    const char* shortCut;
    TKey key;
  };
  const Expect items[] = {
      {"\x8c\xb3\x82\xc9\x96\xdf\x82\xb7(&U)", "Ctrl+Z", vkZ},  // 元に戻す(&U)
      {"\x82\xe2\x82\xe8\x92\xbc\x82\xb5(&R)", "Ctrl+A", vkA},  // やり直し(&R)
      {"-", "", vkNone},
      {"\x90\xd8\x82\xe8\x8e\xe6\x82\xe8(&T)", "Ctrl+X", vkX},  // 切り取り(&T)
      {"\x83R\x83s\x81[(&C)", "Ctrl+C", vkC},                   // コピー(&C)
      {"\x93\x5c\x82\xe8\x95t\x82\xaf(&P)", "Ctrl+V", vkV},     // 貼り付け(&P)
      {"Box\x93\x5c\x82\xe8\x95t\x82\xaf(&B)", "Ctrl+B", vkB},  // Box貼り付け(&B)
      {"\x8d\xed\x8f\x9c(&D)", "", vkNone},                     // 削除(&D)
      {"-", "", vkNone},
      {"\x82\xb7\x82\xd7\x82\xc4\x91I\x91\xf0(&A)", "", vkNone},  // すべて選択(&A)
      {"-", "", vkNone},
      {"Box\x91I\x91\xf0\x83\x82\x81[\x83h(&K)", "Ctrl+K", vkK},  // Box選択モード(&K)
  };
  ASSERT_EQ(Menu().Count(), 12);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(Menu().Items(i).caption, items[i].caption) << i;
    EXPECT_EQ(Menu().Items(i).shortCut, items[i].shortCut) << i;
    EXPECT_EQ(Menu().Items(i).key, items[i].key) << i;
  }
  EXPECT_FALSE(Menu().Items(12).enabled);
  EXPECT_FALSE(Menu().Click(-1));
}

TEST_F(PopupMenu, EnablingFollowsTheEditor) {
  using V = std::vector<TEditorMenuCommand>;
  EXPECT_EQ(EnabledCommands(), V({pmBoxMode}));  // empty document and clipboard

  Load("abc def");
  ed.SetSelLength(3);
  EXPECT_EQ(EnabledCommands(), V({pmCut, pmCopy, pmDelete, pmSelectAll, pmBoxMode}));
  clip.SetText("x", false);
  ed.SetReadOnly(true);
  EXPECT_EQ(EnabledCommands(), V({pmCopy, pmSelectAll, pmBoxMode}));
  ed.SetReadOnly(false);
  ed.CancelSelection();
  EXPECT_EQ(EnabledCommands(), V({pmPaste, pmBoxPaste, pmSelectAll, pmBoxMode}));
  ed.KeyPress('z');
  EXPECT_EQ(EnabledCommands(), V({pmUndo, pmPaste, pmBoxPaste, pmSelectAll, pmBoxMode}));
  ed.Undo();
  EXPECT_EQ(EnabledCommands(), V({pmRedo, pmPaste, pmBoxPaste, pmSelectAll, pmBoxMode}));
  ed.SetReadOnly(true);
  EXPECT_EQ(EnabledCommands(), V({pmSelectAll, pmBoxMode}));
}

TEST_F(PopupMenu, ActionsReachTheEditor) {
  Load("abc def");
  ed.SetSelLength(3);
  Menu().Popup();
  EXPECT_TRUE(Menu().Click(IndexOf(pmCut)));
  EXPECT_EQ(clip.text, "abc");
  EXPECT_EQ(Show(), "| def");
  Menu().Popup();
  Menu().Click(IndexOf(pmPaste));
  EXPECT_EQ(Show(), "abc| def");
  Menu().Popup();
  Menu().Click(IndexOf(pmSelectAll));
  EXPECT_EQ(Show(), "[abc def]");
  Menu().Popup();
  Menu().Click(IndexOf(pmDelete));
  EXPECT_EQ(Show(), "|");
  Menu().Popup();
  Menu().Click(IndexOf(pmUndo));
  EXPECT_EQ(Text(), "abc def");
  ed.SetReadOnly(true);
  Menu().Popup();
  EXPECT_FALSE(Menu().Click(IndexOf(pmUndo)));  // disabled: nothing runs
  EXPECT_EQ(Text(), "abc def");
}

TEST_F(PopupMenu, BoxPasteMakesARectangleOfPlainText) {
  Load("ab\ncd\nef");
  clip.SetText("1\r\n2\r\n", false);
  ed.SetRowCol(0, 1);
  Menu().Popup();
  Menu().Click(IndexOf(pmBoxPaste));
  EXPECT_EQ(Text(), "a1b\nc2d\nef");
}

TEST_F(PopupMenu, BoxModeMarkFollowsTheMode) {
  const int box = IndexOf(pmBoxMode);
  Menu().Popup();
  EXPECT_FALSE(Menu().Items(box).checked);
  Menu().Click(box);
  EXPECT_EQ(ed.SelectionMode(), smBox);
  EXPECT_TRUE(Menu().Items(box).checked);
  ed.SetSelectionMode(smNormal);  // switched by other means
  Menu().Popup();
  EXPECT_FALSE(Menu().Items(box).checked);
  Menu().Click(box);
  Menu().Click(box);
  EXPECT_EQ(ed.SelectionMode(), smNormal);

  // During a selection drag the mode is refused and the mark disagrees
  // until the menu opens again.
  Load("abc def");
  ed.SetSelLength(3);
  const int x = ed.Margin().Left() + ed.ColWidth() + 1, y = ed.Margin().Top() + 4;
  ed.MouseDown(mbLeft, ssLeft, x, y);
  ed.MouseMove(ssLeft, x + 4 * ed.ColWidth(), y);
  ASSERT_EQ(ed.SelDragState(), sdDragging);
  Menu().Popup();
  Menu().Click(box);
  EXPECT_EQ(ed.SelectionMode(), smNormal);
  EXPECT_TRUE(Menu().Items(box).checked);
  ed.KeyDown(vkEscape, 0);
  Menu().Popup();
  EXPECT_FALSE(Menu().Items(box).checked);
}

TEST_F(PopupMenu, ShortcutsActThroughTheEditorsKeys) {
  Load("abc|");
  ed.KeyPress('d');
  ed.Undo();
  EXPECT_EQ(Text(), "abc");
  EXPECT_TRUE(ed.KeyDown(vkA, ssCtrl));  // redo
  EXPECT_EQ(Text(), "abcd");
  EXPECT_TRUE(ed.KeyDown(vkZ, ssCtrl));
  EXPECT_EQ(Text(), "abc");
  ed.SetReadOnly(true);
  EXPECT_TRUE(ed.KeyDown(vkA, ssCtrl));  // the key of a disabled item is used up
  EXPECT_EQ(Text(), "abc");
  EXPECT_FALSE(ed.KeyDown(vkZ, ssCtrl | ssShift));
  ed.SetReadOnly(false);
  ed.KeyDown(vkK, ssCtrl);
  EXPECT_EQ(ed.SelectionMode(), smBox);

  // An application menu in place of the built-in one takes the keys away.
  ed.SetPopupMenu(nullptr);
  EXPECT_EQ(ed.PopupMenu(), nullptr);
  EXPECT_FALSE(ed.KeyDown(vkK, ssCtrl));
  EXPECT_EQ(ed.SelectionMode(), smBox);
}

}  // namespace
}  // namespace yk::test
