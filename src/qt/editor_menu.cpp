// A QMenu built from the editor's context menu each time it opens.
#include "qt/editor_menu.h"

#include <QKeySequence>

#include "qt/qt_graphics.h"

namespace yk {

QMenu* CreateEditorMenu(TEditorPopupMenu& menu, QWidget* parent) {
  menu.Popup();
  auto* qmenu = new QMenu(parent);
  for (int i = 0; i < menu.Count(); ++i) {
    const TEditorMenuItem& item = menu.Items(i);
    if (item.command == pmSeparator) {
      qmenu->addSeparator();
      continue;
    }
    QAction* action = qmenu->addAction(ToQString(item.caption));
    // The text only: the editor's own key handling runs these shortcuts.
    if (!item.shortCut.empty()) action->setShortcut(QKeySequence(QString::fromLatin1(item.shortCut)));
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setEnabled(item.enabled);
    action->setCheckable(item.command == pmBoxMode);
    action->setChecked(item.checked);
    QObject::connect(action, &QAction::triggered, qmenu, [&menu, i] { menu.Click(i); });
  }
  return qmenu;
}

}  // namespace yk
