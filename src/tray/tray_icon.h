#pragma once

#include "run_state.h"
#include "timer_menu.h"
#include "tray_look.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPixmap>

#include <functional>
#include <memory>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;

// The program's icon in the desktop's notification area: the phase's colours and the remaining
// time drawn into it, the Timer window's hint as its tooltip, and a menu of the commands a user
// wants without finding the Timer window. It observes the run state as the windows do and
// redraws only when what it draws changed, at most once a second.
class TrayIcon final : public QObject {
    Q_OBJECT

public:
    struct Commands {
        // A menu item chosen.
        std::function<void(traylook::Item)> chosen = {};
        // What a click on the icon asks for.
        std::function<void(traylook::Click)> clicked = {};
        // The Timer window's menu situation, for the enabled states.
        std::function<timermenu::Situation()> situation = {};
        // Whether the Planning window is shown.
        std::function<bool()> planningVisible = {};
        // A line for the debug text.
        std::function<void(const QString&)> debugLine = {};
    };

    TrayIcon(RunStatePublisher& runState, Commands commands, QObject* parent = nullptr);
    ~TrayIcon() override;
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Shows or removes the icon. Where the desktop has no notification area (yet), the icon
    // appears when one comes; the debug text says so once.
    void setShown(bool shown);
    bool shown() const { return m_icon != nullptr; }
    // A message beside the icon; false when there is no icon that could show it.
    bool showMessage(const QString& summary, const QString& body);
    // The menu as it stands (for pictures of it).
    QMenu* menu() const { return m_menu.get(); }
    // The icon as last drawn.
    const QPixmap& pixmap() const { return m_pixmap; }
    int draws() const { return m_draws; }

    // The picture of an icon, size pixels square.
    static QPixmap render(const traylook::Icon& icon, int size);

private:
    void showState(const RunState& state);
    void drawSoon();
    void draw();
    void applyMenu();

    RunStatePublisher& m_runState;
    Commands m_c;
    std::unique_ptr<QMenu> m_menu;
    QList<QAction*> m_items;
    QSystemTrayIcon* m_icon = nullptr;
    QTimer* m_drawTimer = nullptr;
    QElapsedTimer m_sinceDraw;
    traylook::Icon m_drawn;
    QPixmap m_pixmap;
    QString m_toolTip;
    // The run state the menu's items were last set for.
    RunState m_menuShownFor;
    int m_draws = 0;
    bool m_missingReported = false;
};
