#pragma once

#include "foreground_keeper.h"
#include "run_state.h"
#include "timer_menu.h"
#include "timer_services.h"
#include "timer_view.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <limits>
#include <optional>

class QLabel;
class QMenu;
class QTimer;
class TFBestaetigung;

// The Timer window: the small borderless strip that counts the running unit or pause down,
// stays in front while a phase runs, and carries the popup menu of a running plan. It shows the
// run state of its model and touches a widget only where what it shows changed.
class TFTimer final : public QWidget, public TimerView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFTimer)

public:
    explicit TFTimer(const TimerServices& services, QWidget* parent = nullptr);

    // The Planning window, which "Planungsmodus" and a double-click bring up.
    void setPlanningWindow(QWidget* window) { m_front->windows.planning = window; }
    // The countdown overlay's window, kept in front while it shows.
    void setCountdownWindow(QWidget* window) { m_front->windows.countdown = window; }
    // The first-start hint window, shown when the first unit of a first start begins.
    void setFirstStartHintWindow(QWidget* window) { m_front->windows.firstStartHint = window; }
    // The reminder window (shown again to stay in front), looked up when needed: it is created
    // only when first used. The lookup answers nullptr while there is none.
    void setReminderWindow(std::function<QWidget*()> lookup) {
        m_front->windows.reminder = std::move(lookup);
    }
    // Another window of the program that foreground keeping leaves in front.
    void addForegroundPeer(QWidget* window) { m_front->windows.peers.append(window); }
    // What "Über Taktplan" does: shows the about window, which the program owns.
    void setAboutCommand(std::function<void()> showAbout) { m_showAbout = std::move(showAbout); }

    // "Planungsmodus": the Planning window centred and shown, the countdown hidden.
    void planningMode();
    // "Nutzer anwesend" ticked, as the presence window's button does.
    void confirmPresence();
    // "Nutzer anwesend" from the menu: the presence confirmation switched.
    void presenceCommand();
    // What the popup menu's rules look at now.
    timermenu::Situation menuSituation() const;
    // "Beenden" > "Bestätigen" (also from the settings).
    void exitCommand();
    // "Einstellungen": Settings.ini opened in the user's editor, the companion program told, and
    // the program ended (as "Beenden" does), so that the edited file is read at the next start;
    // a file that does not open leaves the program running, with a message naming the file.
    void settingsCommand();
    // "Auswertung", also the Planning window's.
    void evaluationCommand();
    // The screens changed.
    void displayChanged();
    bool compactDisplay() const { return m_compact; }
    bool foregroundKeepingActive() const { return m_front->isOn(); }
    // tmrVordergrund, for the dialog guard to rest while a question is open.
    QTimer* foregroundKeepingTimer() const { return m_front->timer(); }

    // TimerView
    void showFirstStartHint() override;
    void raiseReminderIfVisible() override;

signals:
    // The program is to end.
    void terminateRequested();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void createTimers();
    // Brings the widgets from what they show to the new state.
    void showState(const RunState& state);
    void applyLockTimer(int intervalMs);
    void applyPresence(bool visible, bool wasVisible);
    // The time display, its size and the presence window's caption; the window kept on the
    // desktop.
    void refreshDisplay();
    void applyMenuRules();
    void applyColours();
    // At a plan start: back where the user left the strip, or to a place where it is seen.
    void moveToStartPlace();
    void onMenuItem(timermenu::Item item, bool checked);
    void onFailedItem(bool checked);

    TimerServices m_s;
    TimerModel& m_model;
    QPointer<TFBestaetigung> m_presence;
    std::function<void()> m_showAbout;
    ForegroundKeeper* m_front = nullptr;

    QLabel* lblZeit = nullptr;
    QLabel* lblTransparenz = nullptr;
    QLabel* lblBewegen = nullptr;
    QMenu* pm1 = nullptr;
    QTimer* tmrZeit = nullptr;
    QTimer* tmrWindowsBlock = nullptr;

    // What the widgets show.
    RunState m_shown;
    QString m_shownText;
    qint64 m_presenceSeconds = std::numeric_limits<qint64>::min();
    bool m_compact = true;
    bool m_settingsOpening = false; // the settings file's opener has not answered yet
    // Where a plan start put the strip when the user had chosen no visible place; hiding it
    // there stores nothing, so the settings keep only places the user chose.
    std::optional<QPoint> m_defaultPlace;
};
