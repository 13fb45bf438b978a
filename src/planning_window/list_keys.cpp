#include "list_keys.h"

#include "menu_keys.h"
#include "plan_commands.h"
#include "plan_list_view.h"
#include "planning_menus.h"
#include "worklist.h"

#include <QAction>
#include <QKeyEvent>
#include <QTimer>

#include <utility>

using namespace Qt::StringLiterals;

ListKeys::ListKeys(Parts parts, MenuKeys& keys) : QObject(&parts.window), m_parts(std::move(parts)) {
    m_parts.list.installEventFilter(this);
    keys.setHook([this](const QKeyEvent& pressed) { return unclaimedKey(pressed); });
}

bool ListKeys::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_parts.list &&
        (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease))
        return listKey(*static_cast<QKeyEvent*>(event));
    return false;
}

bool ListKeys::unclaimedKey(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Plus && (key.modifiers() & Qt::KeypadModifier)) {
        if (m_parts.list.hasFocus() && m_parts.menus.popupStartLater->isEnabled())
            m_parts.commands.startLater(m_parts.list.selectedRows());
        return true;
    }
    return false;
}

bool ListKeys::listKey(const QKeyEvent& key) {
    if (key.key() == Qt::Key_Shift) {
        if (key.type() == QEvent::KeyPress)
            m_parts.scheduleRefresh.stop();
        else if (m_parts.window.isVisible())
            m_parts.scheduleRefresh.start();
        return false;
    }
    if (key.type() != QEvent::KeyPress)
        return false;
    if (key.key() == Qt::Key_Escape) {
        if (m_parts.worklist.runActive())
            m_parts.window.close();
        return true;
    }
    const QString text = key.text();
    if (text == u"k"_s) {
        if (m_parts.menus.popupStartLater->isEnabled())
            m_parts.commands.startLater(m_parts.list.selectedRows());
        return true;
    }
    if (text == u"m"_s || text == u"-"_s) {
        if (m_parts.menus.popupStartEarlier->isEnabled())
            m_parts.commands.startEarlier(m_parts.list.selectedRows());
        return true;
    }
    return false;
}
