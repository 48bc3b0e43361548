// The editor's context menu shown as a Qt menu.
#pragma once

#include <QMenu>

#include "editor/popup_menu.h"

namespace yk {

// Runs the menu's opening handler and builds a QMenu of its items: the same
// captions, shortcut texts, enabled states and box-mode check mark; choosing
// an item runs it through the menu. The QMenu belongs to parent.
QMenu* CreateEditorMenu(TEditorPopupMenu& menu, QWidget* parent);

}  // namespace yk
