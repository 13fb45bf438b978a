#include "menu_table.h"

#include <QAction>
#include <QMenu>

QList<QAction*> addMenuItems(QObject* owner, MenuKeys& keys, QMenu* menu, QWidget* control,
                             const QList<MenuItemSpec>& items) {
    QList<QAction*> actions;
    actions.reserve(items.size());
    for (const MenuItemSpec& spec : items) {
        if (spec.caption.isEmpty()) {
            if (menu)
                menu->addSeparator();
            actions.append(nullptr);
            continue;
        }
        auto* a = new QAction(spec.caption, owner);
        a->setShortcut(spec.key);
        // The shortcut is shown in the menu; MenuKeys decides which menu a key reaches.
        a->setShortcutContext(Qt::WidgetShortcut);
        if (!spec.objectName.isEmpty())
            a->setObjectName(spec.objectName);
        if (spec.handler)
            QObject::connect(a, &QAction::triggered, owner, [handler = spec.handler] { handler(); });
        if (menu && !spec.hidden)
            menu->addAction(a);
        const MenuKeys::Item item{a, menu ? QList<QMenu*>{menu} : QList<QMenu*>{}, spec.keypad,
                                  spec.ignoreShift};
        if (control)
            keys.addContextItem(control, item);
        else
            keys.addMainItem(item);
        actions.append(a);
    }
    return actions;
}
