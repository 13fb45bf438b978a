#pragma once

#include <QHash>
#include <QKeyCombination>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

class QAction;
class QKeyEvent;
class QMenu;
class QWidget;

// The keyboard side of a window's menus. A key pressed in the window is offered first to the
// context menu of the focused control (and of the controls that contain it), then to the main
// menu, and last to a hook; the first that holds an item with that key consumes it, even when
// the item or a menu above it is disabled (then nothing happens). Before an item acts, the
// opening handler of every menu above it runs, as when that menu is opened. Hidden items are
// actions that sit in no menu; their keys act all the same.
//
// Qt's own shortcut handling would offer such keys to all menus at once and drop ambiguous
// ones, so the actions' shortcuts are only shown in the menus and this filter does the rest.
class MenuKeys final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MenuKeys)

public:
    enum class Keypad { Any, Required, Forbidden };

    struct Item {
        QAction* action = nullptr;
        // Innermost menu last: each menu's opening handler runs, and each must be enabled.
        QList<QMenu*> menus;
        Keypad keypad = Keypad::Any;
        // For symbol keys that some layouts reach with Shift ("+" on a US keyboard).
        bool ignoreShift = false;
    };

    explicit MenuKeys(QWidget* window);
    ~MenuKeys() override;

    // The item's key is its action's shortcut (the first key of it).
    void addContextItem(QWidget* control, const Item& item);
    void addMainItem(const Item& item);
    void setOpeningHandler(QMenu* menu, std::function<void()> handler);
    // Offered what no menu holds, only while the window is the active window; true consumes.
    void setHook(std::function<bool(const QKeyEvent&)> hook);

    // Offers a key pressed in the window as described above; true when it was consumed.
    bool dispatch(const QKeyEvent& key, QWidget* focus);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Scope {
        QPointer<QWidget> control;
        QList<Item> items;
    };

    static bool matches(const Item& item, const QKeyEvent& key);
    const Item* find(const QKeyEvent& key, QWidget* focus) const;
    void run(const Item& item);

    QWidget* m_window;
    QList<Scope> m_scopes;
    QList<Item> m_mainItems;
    QHash<QMenu*, std::function<void()>> m_openers;
    std::function<bool(const QKeyEvent&)> m_hook;
};
