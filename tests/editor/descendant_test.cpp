// A descendant editor and row list: the parts they make, the word
// delimiters they choose and the operations they override are the ones the
// editor uses.
#include <gtest/gtest.h>

#include <memory>

#include "editor/editor.h"
#include "platform/fakes.h"

namespace yk::test {
namespace {

struct TCountingUndo : TEditorUndoObj {
  using TEditorUndoObj::TEditorUndoObj;
  TUndoData& NewUndoData() override {
    ++records;
    return TEditorUndoObj::NewUndoData();
  }
  int records = 0;
};

struct TWideWrapOption : TEditorWrapOption {};

class TMyRows : public TEditorScreenStrings {
 public:
  TMyRows() : TEditorScreenStrings(TDeferredParts{}) { CreateParts(); }

 protected:
  std::unique_ptr<TEditorUndoObj> CreateUndoObj() override { return std::make_unique<TCountingUndo>(*this); }
  std::unique_ptr<TEditorWrapOption> CreateWrapOption() override { return std::make_unique<TWideWrapOption>(); }
};

struct TMyLines : TEditorStrings {
  using TEditorStrings::TEditorStrings;
};
struct TMyScreen : TEditorScreen {
  using TEditorScreen::TEditorScreen;
};
struct TMyView : TEditorViewInfo {
  using TEditorViewInfo::TEditorViewInfo;
};

class TMyEditor : public TEditor {
 public:
  TMyEditor() : TEditor(TDeferredParts{}) { CreateParts(); }

  TPoint GetCaretXY() const override { return {1000 + Col(), 2000 + Row()}; }
  void UnderlineBeginUpdate() override {
    ++underlineSuspensions;
    TEditor::UnderlineBeginUpdate();
  }
  bool CanUndo() const override { return undoAllowed && TEditor::CanUndo(); }

  int underlineSuspensions = 0;
  bool undoAllowed = true;

 protected:
  std::shared_ptr<TEditorScreenStrings> CreateScreenStrings() override { return std::make_shared<TMyRows>(); }
  std::unique_ptr<TEditorStrings> CreateLines() override { return std::make_unique<TMyLines>(*this); }
  std::unique_ptr<TEditorScreen> CreateScreen() override { return std::make_unique<TMyScreen>(*this); }
  std::unique_ptr<TEditorViewInfo> CreateViewInfo() override { return std::make_unique<TMyView>(this); }
  // "_" separates words in this editor.
  void InitWordDelimiters() override {
    TEditor::InitWordDelimiters();
    word_delimiters_.set('_');
  }
};

TEST(DescendantEditor, ItsPartsAndOverridesAreUsed) {
  FakeHost host;
  FakeClipboard clip;
  TMyEditor ed;
  ed.SetHost(&host);
  ed.SetClipboard(&clip);
  EXPECT_NE(dynamic_cast<TMyRows*>(&ed.ScreenStrings()), nullptr);
  EXPECT_NE(dynamic_cast<TWideWrapOption*>(&ed.WrapOption()), nullptr);
  EXPECT_NE(dynamic_cast<TMyLines*>(&ed.Lines()), nullptr);
  EXPECT_NE(dynamic_cast<TMyScreen*>(&ed.Screen()), nullptr);
  EXPECT_NE(dynamic_cast<TMyView*>(&ed.View()), nullptr);

  // The wrap option still reaches the rows, and edits go through the undo manager.
  ed.SetWordWrap(true);
  ed.WrapOption().SetWrapByte(20);
  ed.Lines().SetTextStr(std::string(30, 'a') + "_b");
  EXPECT_EQ(ed.RowCount(), 2);
  ed.SetRowCol(1, 0);
  ed.KeyChar('x');
  auto& undo = static_cast<TCountingUndo&>(ed.ScreenStrings().UndoObj());
  EXPECT_GT(undo.records, 0);

  // Word delimiters: "_" is a delimiter column.
  ed.Lines().SetTextStr("abc_def\r\nx");
  EXPECT_EQ(ed.RowColumnMap(0), "1112111");

  // The caret goes where GetCaretXY says; moving rows suspends the underline.
  ed.SetRowCol(0, 0);
  const int before = ed.underlineSuspensions;
  ed.SetRow(1);
  EXPECT_GT(ed.underlineSuspensions, before);
  ed.SetRow(0);
  ed.SetCol(2);
  EXPECT_EQ(host.caretPos, (TPoint{1002, 2000}));

  // The context menu asks the overridable CanUndo.
  ed.KeyChar('y');
  ed.undoAllowed = false;
  TEditorPopupMenu* menu = ed.PopupMenu();
  menu->Popup();
  EXPECT_FALSE(menu->Items(0).enabled);
  ed.undoAllowed = true;
  menu->Popup();
  EXPECT_TRUE(menu->Items(0).enabled);
}

TEST(DescendantEditor, SharesTextWithAPlainEditor) {
  TMyEditor mine;
  TEditor plain;
  plain.ShareTextWith(mine);
  plain.Lines().SetTextStr("shared");
  EXPECT_EQ(mine.RowText(0), "shared");
}

}  // namespace
}  // namespace yk::test
