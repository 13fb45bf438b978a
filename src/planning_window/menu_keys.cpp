#include "menu_keys.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QWidget>

MenuKeys::MenuKeys(QWidget* window) : QObject(window), m_window(window) {
    qApp->installEventFilter(this);
}

MenuKeys::~MenuKeys() {
    qApp->removeEventFilter(this);
}

void MenuKeys::addContextItem(QWidget* control, const Item& item) {
    for (Scope& s : m_scopes) {
        if (s.control == control) {
            s.items.append(item);
            return;
        }
    }
    m_scopes.append(Scope{control, {item}});
}

void MenuKeys::addMainItem(const Item& item) {
    m_mainItems.append(item);
}

void MenuKeys::setOpeningHandler(QMenu* menu, std::function<void()> handler) {
    m_openers.insert(menu, handler);
    connect(menu, &QMenu::aboutToShow, this, [handler] { handler(); });
}

void MenuKeys::setHook(std::function<bool(const QKeyEvent&)> hook) {
    m_hook = std::move(hook);
}

bool MenuKeys::matches(const Item& item, const QKeyEvent& key) {
    const QKeySequence shortcut = item.action->shortcut();
    if (shortcut.isEmpty())
        return false;
    const QKeyCombination wanted = shortcut[0];
    if (wanted.key() != Qt::Key(key.key()))
        return false;
    const bool keypad = key.modifiers() & Qt::KeypadModifier;
    if ((item.keypad == Keypad::Required && !keypad) || (item.keypad == Keypad::Forbidden && keypad))
        return false;
    Qt::KeyboardModifiers mask = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!item.ignoreShift)
        mask |= Qt::ShiftModifier;
    return (key.modifiers() & mask) == (wanted.keyboardModifiers() & mask);
}

const MenuKeys::Item* MenuKeys::find(const QKeyEvent& key, QWidget* focus) const {
    // The focused control's menu first, then the menus of the controls around it.
    for (QWidget* w = focus; w && w != m_window; w = w->parentWidget()) {
        for (const Scope& s : m_scopes) {
            if (s.control != w)
                continue;
            for (const Item& item : s.items) {
                if (matches(item, key))
                    return &item;
            }
        }
    }
    for (const Item& item : m_mainItems) {
        if (matches(item, key))
            return &item;
    }
    return nullptr;
}

void MenuKeys::run(const Item& item) {
    for (QMenu* menu : item.menus) {
        const auto opener = m_openers.constFind(menu);
        if (opener != m_openers.cend() && *opener)
            (*opener)();
    }
    for (QMenu* menu : item.menus) {
        if (!menu->isEnabled() || !menu->menuAction()->isEnabled())
            return;
    }
    if (item.action->isEnabled())
        item.action->trigger();
}

bool MenuKeys::dispatch(const QKeyEvent& key, QWidget* focus) {
    if (const Item* item = find(key, focus)) {
        // A copy: the command may change the tables' owners (menus being rebuilt).
        const Item chosen = *item;
        run(chosen);
        return true;
    }
    if (m_hook && m_window->isActiveWindow())
        return m_hook(key);
    return false;
}

bool MenuKeys::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    // A key travels up the parents when the focused control ignores it, and an editable combo
    // box hands it on to its edit field: only the first delivery, to the focused control, counts.
    QWidget* focus = QApplication::focusWidget();
    if (focus && widget != focus)
        return false;
    if (type == QEvent::ShortcutOverride) {
        // Claim the keys we handle so that no other shortcut takes them; they come back as
        // key presses.
        if (find(*key, focus)) {
            key->accept();
            return true;
        }
        return false;
    }
    return dispatch(*key, focus ? focus : widget);
}
