#include "menu_table.h"

#include <QAction>
#include <QMenu>

QList<QAction*> addMenuItems(QObject* owner, MenuKeys& keys, QMenu* menu, QWidget* control,
                             const QList<MenuItemSpec>& items) {
    QList<QAction*> actions;
    actions.reserve(items.size());
    for (const MenuItemSpec& row : items) {
        if (row.caption.isEmpty()) {
            if (menu)
                menu->addSeparator();
            actions.append(nullptr);
            continue;
        }
        auto* a = new QAction(row.caption, owner);
        a->setShortcut(row.key);
        // The shortcut is shown in the menu; MenuKeys decides which menu a key reaches.
        a->setShortcutContext(Qt::WidgetShortcut);
        if (!row.objectName.isEmpty())
            a->setObjectName(row.objectName);
        if (row.handler)
            QObject::connect(a, &QAction::triggered, owner, [handler = row.handler] { handler(); });
        if (menu && !row.hidden)
            menu->addAction(a);
        const MenuKeys::Item item{a, menu ? QList<QMenu*>{menu} : QList<QMenu*>{}, row.keypad,
                                  row.ignoreShift};
        if (control)
            keys.addContextItem(control, item);
        else
            keys.addMainItem(item);
        actions.append(a);
    }
    return actions;
}
