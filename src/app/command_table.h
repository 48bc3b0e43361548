// The main window's commands as data: every menu, menu item, tool-bar button
// and context-menu entry with its caption, key and hint. The window makes one
// action per command from these tables; handlers are bound to the commands
// by name, so adding a feature never changes the tables.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace yk {

// The menus of the menu bar in their order, and the editors' context menu.
// A command's key first runs the opening handlers of its menu, as if the
// menu had been opened.
enum class TMenu : std::uint8_t { File, Edit, Search, View, Execute, Window, Help, Popup };
inline constexpr int kMenuCount = 8;

struct TMenuInfo {
  TMenu menu;
  const char* name;     // object name of the QMenu ("File1")
  const char* caption;  // UTF-8, with its access key
};

enum TCommandFlag : std::uint16_t {
  cfHidden = 1u << 0,     // in no visible menu, but its key works
  cfCheckable = 1u << 1,  // carries a check mark
  cfChecked = 1u << 2,    // checked at start
  cfDisabled = 1u << 3,   // disabled at start even when a handler is bound
  cfSeparator = 1u << 4,  // a separator line before the item
  cfSubmenu = 1u << 5,    // the item opens a submenu of the same name
  cfRuntime = 1u << 6,    // caption given at run time; not shown until then
};

struct TCommandInfo {
  const char* name;     // object name of the action; handlers bind to it
  const char* caption;  // UTF-8 menu caption with its access key
  const char* key;      // portable key text ("Ctrl+Shift+N"), "" for none
  const char* hint;     // shown in status panel 3 while hovered, "" for none
  TMenu menu;           // the menu bar menu it belongs to
  const char* parent;   // the submenu it sits in, "" for the menu itself
  std::uint16_t flags;  // TCommandFlag bits
};

// A button of ToolBar1: a command, or "-" for a separator, or "ComboBox1"
// for the search-text box.
struct TToolButtonInfo {
  const char* command;
  const char* text;  // the button's own text and tool tip ("" = the caption's)
  const char* icon;  // icon theme name, "" for none
  bool hidden;       // made but not shown
};

// An entry of the context menu PopupMenu1: the command it runs ("-" for a
// separator) and its caption where it differs from the main-menu twin.
struct TPopupItemInfo {
  const char* command;
  const char* caption;  // "" = the twin's caption
};

std::span<const TMenuInfo> MenuTable();
std::span<const TCommandInfo> CommandTable();
std::span<const TToolButtonInfo> ToolBarTable();
std::span<const TPopupItemInfo> PopupMenuTable();

// The command of that name, or null.
const TCommandInfo* FindCommand(std::string_view name);
const TMenuInfo& MenuInfo(TMenu menu);

// The caption without its access key and trailing dots ("開く(&O)..." gives
// "開く"), for buttons and messages.
std::string_view PlainCaption(std::string_view caption);

}  // namespace yk
