#pragma once

#include <QObject>

class MenuKeys;
class PlanCommands;
class PlanListView;
class QKeyEvent;
class QTimer;
class QWidget;
class Worklist;
struct PlanningMenus;

// The keys typed in the plan list beside its menu items: Shift holds the rows in place while a
// range is selected (the schedule refresh rests), Esc hides the window while a plan runs, and
// "k", "m", "-" and the keypad's plus move the start time as their hidden items would (and
// only while those are enabled). The keypad's plus is never typed into the entry field.
class ListKeys final : public QObject {
    Q_DISABLE_COPY_MOVE(ListKeys)

public:
    struct Parts {
        QWidget& window;
        PlanListView& list;
        // tmrUpdate.
        QTimer& scheduleRefresh;
        const PlanningMenus& menus;
        PlanCommands& commands;
        const Worklist& worklist;
    };
    // Watches the list and offers keys that no menu item holds to keys' hook.
    ListKeys(Parts parts, MenuKeys& keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool listKey(const QKeyEvent& key);
    bool unclaimedKey(const QKeyEvent& key);

    Parts m_parts;
};
