// TEditorPopupMenu: the twelve items of the editor's context menu, their
// enabling from the editor's state, and their actions.
#include "editor/popup_menu.h"

#include "editor/editor.h"

namespace yk {

namespace {

TEditorMenuItem Item(TEditorMenuCommand command, const char* caption, const char* shortCut, TKey key) {
  TEditorMenuItem item;
  item.command = command;
  item.caption = caption;
  item.shortCut = shortCut;
  item.key = key;
  return item;
}

TEditorMenuItem Separator() { return Item(pmSeparator, "-", "", vkNone); }

const TEditorMenuItem kNoItem{pmSeparator, "-", "", vkNone, false, false};

// Whether the document has any byte, line ends counted, without summing
// the lengths of every row (the menu opens on huge documents too). A second
// row exists only after a line end or a non-empty wrapped row.
bool HasAnyText(TEditor& ed) {
  const int n = ed.RowCount();
  if (n == 0) return false;
  return n > 1 || ed.RowAttribute(0) == raCrlf || ed.ScreenStrings().RowLength(0) > 0;
}

}  // namespace

// Redo carries Ctrl+A and select-all has no key: users of the editor know
// these keys, so they stay as they are.
TEditorPopupMenu::TEditorPopupMenu(TEditor& editor) : editor_(editor) {
  items_ = {
      Item(pmUndo, "\x8c\xb3\x82\xc9\x96\xdf\x82\xb7(&U)", "Ctrl+Z", vkZ),        // 元に戻す(&U)
      Item(pmRedo, "\x82\xe2\x82\xe8\x92\xbc\x82\xb5(&R)", "Ctrl+A", vkA),        // やり直し(&R)
      Separator(),
      Item(pmCut, "\x90\xd8\x82\xe8\x8e\xe6\x82\xe8(&T)", "Ctrl+X", vkX),         // 切り取り(&T)
      Item(pmCopy, "\x83R\x83s\x81[(&C)", "Ctrl+C", vkC),                         // コピー(&C)
      Item(pmPaste, "\x93\x5c\x82\xe8\x95t\x82\xaf(&P)", "Ctrl+V", vkV),          // 貼り付け(&P)
      Item(pmBoxPaste, "Box\x93\x5c\x82\xe8\x95t\x82\xaf(&B)", "Ctrl+B", vkB),    // Box貼り付け(&B)
      Item(pmDelete, "\x8d\xed\x8f\x9c(&D)", "", vkNone),                         // 削除(&D)
      Separator(),
      Item(pmSelectAll, "\x82\xb7\x82\xd7\x82\xc4\x91I\x91\xf0(&A)", "", vkNone),  // すべて選択(&A)
      Separator(),
      Item(pmBoxMode, "Box\x91I\x91\xf0\x83\x82\x81[\x83h(&K)", "Ctrl+K", vkK),  // Box選択モード(&K)
  };
}

const TEditorMenuItem& TEditorPopupMenu::Items(int index) const {
  if (index < 0 || index >= Count()) return kNoItem;
  return items_[static_cast<std::size_t>(index)];
}

void TEditorPopupMenu::Popup() {
  TEditor& ed = editor_;
  const bool writable = !ed.ReadOnly();
  const bool selected = ed.SelLength() > 0;
  const bool clipText = ed.Clipboard() && ed.Clipboard()->HasText();
  for (TEditorMenuItem& item : items_) {
    switch (item.command) {
      case pmSeparator: item.enabled = true; break;
      case pmUndo: item.enabled = ed.CanUndo() && writable; break;
      case pmRedo: item.enabled = ed.CanRedo() && writable; break;
      case pmCut:
      case pmDelete: item.enabled = selected && writable; break;
      case pmCopy: item.enabled = selected; break;
      case pmPaste:
      case pmBoxPaste: item.enabled = clipText && writable; break;
      case pmSelectAll: item.enabled = HasAnyText(ed); break;
      case pmBoxMode:
        item.enabled = true;
        item.checked = ed.SelectionMode() == smBox;
        break;
    }
  }
}

bool TEditorPopupMenu::Click(int index) {
  if (index < 0 || index >= Count()) return false;
  TEditorMenuItem& item = items_[static_cast<std::size_t>(index)];
  if (item.command == pmSeparator || !item.enabled) return false;
  Execute(item);
  return true;
}

bool TEditorPopupMenu::ShortCut(TKey key, TShiftState shift) {
  if (key == vkNone || (shift & (ssCtrl | ssShift | ssAlt)) != ssCtrl) return false;
  for (int i = 0; i < Count(); ++i) {
    if (items_[static_cast<std::size_t>(i)].key != key) continue;
    Popup();
    Click(i);
    return true;
  }
  return false;
}

void TEditorPopupMenu::Execute(TEditorMenuItem& item) {
  TEditor& ed = editor_;
  switch (item.command) {
    case pmSeparator: break;
    case pmUndo: ed.Undo(); break;
    case pmRedo: ed.Redo(); break;
    case pmCut: ed.CutToClipboard(); break;
    case pmCopy: ed.CopyToClipboard(); break;
    case pmPaste: ed.PasteFromClipboard(); break;
    case pmBoxPaste:
      if (ed.Clipboard() && ed.Clipboard()->HasText()) ed.PasteAsBox(ed.Clipboard()->Text());
      break;
    case pmDelete: ed.DeleteSelection(); break;
    case pmSelectAll: ed.SelectAll(); break;
    case pmBoxMode:
      // The mark follows the click even when the editor refuses the mode
      // (during a selection drag); the next Popup puts it right again.
      item.checked = !item.checked;
      ed.SetSelectionMode(item.checked ? smBox : smNormal);
      break;
  }
}

// --- the editor's side ----------------------------------------------------

std::unique_ptr<TEditorPopupMenu> TEditor::CreatePopupMenu() { return std::make_unique<TEditorPopupMenu>(*this); }

TEditorPopupMenu* TEditor::PopupMenu() {
  if (popup_assigned_) return popup_;
  if (!own_popup_) own_popup_ = CreatePopupMenu();
  return own_popup_.get();
}

void TEditor::SetPopupMenu(TEditorPopupMenu* menu) {
  popup_ = menu;
  popup_assigned_ = true;
}

}  // namespace yk
