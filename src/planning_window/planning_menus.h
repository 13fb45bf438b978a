#pragma once

#include <QList>

#include <functional>

class HelpCommands;
class MenuKeys;
class PlanCommands;
class QAction;
class QMainWindow;
class QMenu;
class QWidget;
class SettingsCommands;

// The Planning window's menus, each built from its table: "Datei", "Liste", the bold "Start" of
// the menu bar, "Einstellungen", "Hilfe", the list popup and the input popup. Every item the
// window reaches later has a name here.
struct PlanningMenus {
    QMenu* file = nullptr;
    QMenu* list = nullptr;
    QMenu* settings = nullptr;
    QMenu* help = nullptr;
    QMenu* listPopup = nullptr;
    QMenu* inputPopup = nullptr;

    QAction* newPlan = nullptr;
    QAction* open = nullptr;
    QAction* save = nullptr;
    QAction* saveAs = nullptr;
    QAction* logs = nullptr;
    QAction* evaluation = nullptr;
    QAction* quit = nullptr;
    QAction* deleteEntry = nullptr;
    QAction* start = nullptr;
    QAction* popupDelete = nullptr;
    QAction* popupStart = nullptr;
    QAction* popupStartLater = nullptr;
    QAction* popupStartEarlier = nullptr;
    // Every item of the list popup, nullptr for its separators.
    QList<QAction*> popupItems;
    struct SettingsItems {
        QAction* unitLength = nullptr;
        QAction* smallPause = nullptr;
        QAction* bigPause = nullptr;
        QAction* maxReplan = nullptr;
        QAction* presence = nullptr;
        QAction* sounds = nullptr;
        QAction* lockInPause = nullptr;
        QAction* percentile = nullptr;
        QAction* foreground = nullptr;
        QAction* defaultTarget = nullptr;
        QAction* targetAtFirstStart = nullptr;
        QAction* askReason = nullptr;
        QAction* trayIcon = nullptr;
        QAction* notifications = nullptr;
    } settingsItems;
};

// What the items do. The command classes do the work; the window adds what needs its widgets.
struct PlanningMenuCommands {
    PlanCommands& plan;
    SettingsCommands& settings;
    HelpCommands& help;
    // The plan list's selected rows, sorted.
    std::function<QList<int>()> selectedRows;
    // After a command that replaced the plan.
    std::function<void()> refreshList;
    // After a move: the entry that moved first gets the focus mark.
    std::function<void(quint64 entryId)> focusEntry;
    std::function<void()> logs;
    std::function<void()> quit;
    std::function<void()> start;
    std::function<void()> selectAll;
    std::function<void()> addUnit;
    std::function<void()> addPause;
    std::function<void()> inputSelectAll;
    std::function<void()> inputDelete;
    std::function<void()> inputCancel;
    // "Auswertung": the Timer window's command, handed in by the app.
    std::function<void()> evaluation;
};

// Builds the menus into the window's menu bar and the two popups, hands every item's key to keys
// (the list popup's to list, the input popup's to field) and fills menus. menus must stay where
// it is while the window lives: the check items read their marks through it.
void buildPlanningMenus(QMainWindow& window, MenuKeys& keys, QWidget* list, QWidget* field,
                        const PlanningMenuCommands& commands, PlanningMenus& menus);
