// TEditorPopupMenu: the editor's built-in context menu as a platform-free
// model (items, shortcuts, enabling, actions) that a port shows as a menu.
#pragma once

#include <string>
#include <vector>

#include "editor/keys.h"

namespace yk {

class TEditor;

enum TEditorMenuCommand : std::uint8_t {
  pmSeparator, pmUndo, pmRedo, pmCut, pmCopy, pmPaste, pmBoxPaste, pmDelete, pmSelectAll, pmBoxMode,
};

struct TEditorMenuItem {
  TEditorMenuCommand command = pmSeparator;
  std::string caption;   // CP932; "-" for a separator
  std::string shortCut;  // the shortcut's text ("Ctrl+Z"), empty for none
  TKey key = vkNone;     // the shortcut as a key with Ctrl, vkNone for none
  bool enabled = true;
  bool checked = false;
};

class TEditorPopupMenu {
 public:
  explicit TEditorPopupMenu(TEditor& editor);
  virtual ~TEditorPopupMenu() = default;
  TEditorPopupMenu(const TEditorPopupMenu&) = delete;
  TEditorPopupMenu& operator=(const TEditorPopupMenu&) = delete;

  TEditor& Editor() const { return editor_; }
  int Count() const { return static_cast<int>(items_.size()); }
  // Out-of-range indexes give a disabled separator.
  const TEditorMenuItem& Items(int index) const;

  // The opening handler: sets every item's enabled state and the box-mode
  // check mark from the editor as it is now. Run it right before showing.
  virtual void Popup();
  // Runs the item's action when it is enabled (as computed by the last
  // Popup); false when nothing ran.
  bool Click(int index);
  // A key pressed while the menu's editor has the focus: when it is one of
  // the items' shortcuts, runs the opening handler, then that item if it is
  // enabled, and returns true (the key is used even if the item is not).
  bool ShortCut(TKey key, TShiftState shift);

 protected:
  virtual void Execute(TEditorMenuItem& item);

 private:
  TEditor& editor_;
  std::vector<TEditorMenuItem> items_;
};

}  // namespace yk
