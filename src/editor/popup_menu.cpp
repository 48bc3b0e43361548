// TEditorPopupMenu: the twelve items of the editor's context menu, their
// enabling from the editor's state, and their actions.
#include "editor/popup_menu.h"

#include "editor/editor.h"

namespace yk {

namespace {

// What the enabling rules look at, taken once per opening.
struct TMenuState {
  bool writable = false;
  bool selected = false;
  bool clipText = false;
  bool anyText = false;
  bool canUndo = false;
  bool canRedo = false;
};

// One row of the menu: what it shows, when it is enabled, what it does.
struct TCommandRow {
  TEditorMenuCommand command;
  const char* caption;
  const char* shortCut;
  TKey key;
  bool (*enabled)(const TMenuState&);
  void (*run)(TEditor&);
};

void PasteAsBoxFromClipboard(TEditor& ed) {
  if (ed.Clipboard() && ed.Clipboard()->HasText()) ed.PasteAsBox(ed.Clipboard()->Text());
}

// Redo carries Ctrl+A and select-all has no key: users of the editor know
// these keys, so they stay as they are. The box-mode row's action also
// toggles its mark, which Execute does.
const TCommandRow kRows[] = {
    {pmUndo, "\x8c\xb3\x82\xc9\x96\xdf\x82\xb7(&U)", "Ctrl+Z", vkZ,  // 元に戻す(&U)
     [](const TMenuState& s) { return s.canUndo && s.writable; }, [](TEditor& ed) { ed.Undo(); }},
    {pmRedo, "\x82\xe2\x82\xe8\x92\xbc\x82\xb5(&R)", "Ctrl+A", vkA,  // やり直し(&R)
     [](const TMenuState& s) { return s.canRedo && s.writable; }, [](TEditor& ed) { ed.Redo(); }},
    {pmSeparator, "-", "", vkNone, nullptr, nullptr},
    {pmCut, "\x90\xd8\x82\xe8\x8e\xe6\x82\xe8(&T)", "Ctrl+X", vkX,  // 切り取り(&T)
     [](const TMenuState& s) { return s.selected && s.writable; }, [](TEditor& ed) { ed.CutToClipboard(); }},
    {pmCopy, "\x83R\x83s\x81[(&C)", "Ctrl+C", vkC,  // コピー(&C)
     [](const TMenuState& s) { return s.selected; }, [](TEditor& ed) { ed.CopyToClipboard(); }},
    {pmPaste, "\x93\x5c\x82\xe8\x95t\x82\xaf(&P)", "Ctrl+V", vkV,  // 貼り付け(&P)
     [](const TMenuState& s) { return s.clipText && s.writable; }, [](TEditor& ed) { ed.PasteFromClipboard(); }},
    {pmBoxPaste, "Box\x93\x5c\x82\xe8\x95t\x82\xaf(&B)", "Ctrl+B", vkB,  // Box貼り付け(&B)
     [](const TMenuState& s) { return s.clipText && s.writable; }, PasteAsBoxFromClipboard},
    {pmDelete, "\x8d\xed\x8f\x9c(&D)", "", vkNone,  // 削除(&D)
     [](const TMenuState& s) { return s.selected && s.writable; }, [](TEditor& ed) { ed.DeleteSelection(); }},
    {pmSeparator, "-", "", vkNone, nullptr, nullptr},
    {pmSelectAll, "\x82\xb7\x82\xd7\x82\xc4\x91I\x91\xf0(&A)", "", vkNone,  // すべて選択(&A)
     [](const TMenuState& s) { return s.anyText; }, [](TEditor& ed) { ed.SelectAll(); }},
    {pmSeparator, "-", "", vkNone, nullptr, nullptr},
    {pmBoxMode, "Box\x91I\x91\xf0\x83\x82\x81[\x83h(&K)", "Ctrl+K", vkK,  // Box選択モード(&K)
     nullptr, nullptr},
};

const TCommandRow* RowOf(TEditorMenuCommand command) {
  for (const TCommandRow& row : kRows)
    if (row.command == command) return &row;
  return nullptr;
}

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

TEditorPopupMenu::TEditorPopupMenu(TEditor& editor) : editor_(editor) {
  for (const TCommandRow& row : kRows) items_.push_back({row.command, row.caption, row.shortCut, row.key, true, false});
}

const TEditorMenuItem& TEditorPopupMenu::Items(int index) const {
  if (index < 0 || index >= Count()) return kNoItem;
  return items_[static_cast<std::size_t>(index)];
}

void TEditorPopupMenu::Popup() {
  TEditor& ed = editor_;
  TMenuState state;
  state.writable = !ed.ReadOnly();
  state.selected = ed.SelLength() > 0;
  state.clipText = ed.Clipboard() && ed.Clipboard()->HasText();
  state.anyText = HasAnyText(ed);
  state.canUndo = ed.CanUndo();
  state.canRedo = ed.CanRedo();
  for (TEditorMenuItem& item : items_) {
    const TCommandRow* row = RowOf(item.command);
    item.enabled = !row || !row->enabled || row->enabled(state);
    if (item.command == pmBoxMode) item.checked = ed.SelectionMode() == smBox;
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
  if (item.command == pmBoxMode) {
    // The mark follows the click even when the editor refuses the mode
    // (during a selection drag); the next Popup puts it right again.
    item.checked = !item.checked;
    editor_.SetSelectionMode(item.checked ? smBox : smNormal);
    return;
  }
  if (const TCommandRow* row = RowOf(item.command); row && row->run) row->run(editor_);
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
