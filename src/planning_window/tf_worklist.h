#pragma once

// The Planning window: the plan list, the input line, the menus and the timers that animate
// them. Handlers stay thin: they read the widgets, call the plan's operations and refresh.

#include "conversion_guard.h"
#include "focus_lock.h"
#include "help_commands.h"
#include "plan_commands.h"
#include "plan_file.h"
#include "planning_menu_states.h"
#include "planning_menus.h"
#include "planning_timers.h"
#include "planning_view.h"
#include "settings_commands.h"
#include "shown_run_state.h"
#include "worklist.h"
#include "worklist_services.h"

#include <QMainWindow>
#include <QPointer>
#include <QTimer>

#include <functional>

class InputStrip;
class PlanListView;
class PlanningLayout;
struct Settings;

class TFWorklist final : public QMainWindow, public PlanningHost, public PlanningView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFWorklist)

public:
    // Creation: state, font from Schriftgroesse, LoadPlan(worklist.log).
    explicit TFWorklist(const WorklistServices& services, QWidget* parent = nullptr);
    ~TFWorklist() override;

    Worklist& worklist() { return m_services.worklist; }
    PlanFile& planFile() { return m_services.planFile; }

    // Start-up: the first-start hint "Hier Aufgabe eingeben und ENTER drücken" in cbbAufgabe.
    void showFirstStartHint();
    // Start-up: enables tmrAutoStart (resume a running plan about 100 ms after start).
    void enableAutoStart() { m_timers->autoStart->start(); }
    // SavePlan(worklist.log, without finished, with dates).
    bool savePlan() { return m_planCommands.savePlan(); }
    // Breite and Hoehe of the settings from the window while it is shown; the app calls it at
    // the end of a run, however the run ends.
    void rememberSize();
    // Brings the window to the front, restored if minimised (second start, focus lock).
    void bringToFront() override;

    // The Timer window: while it is visible, closing this window only hides it.
    void setTimerWindow(QWidget* timerWindow);
    // The percentile rank's recomputation, run by tmrUpdatePercentileRank before the caption
    // is refreshed; without it the timer only refreshes the caption.
    void setPercentileUpdate(std::function<void()> update) { m_timers->updatePercentile = std::move(update); }
    // Another window of the program that the focus lock leaves in front (reminder, about,
    // confirmation).
    void addForegroundPeer(QWidget* window) { m_focusLock->peers.append(window); }
    // What "Debugger anzeigen" and "Über Taktplan" do: show the debug viewer and the about
    // window, which the program owns (this window does not know them).
    void setHelpWindows(std::function<void()> showDebugger, std::function<void()> showAbout);

    // The finish blink of a unit that has just been completed (FinishRunningEntry).
    void startFinishBlink() override { m_timers->blink->start(); }

    // Timer handlers, as their timers call them.
    void tmrUpdateTimer() { m_timers->updateStep(); }
    void tmrBlinkenTimer() { m_timers->blinkStep(); }
    void tmrCaptionBlinkenTimer() { m_timers->captionBlinkStep(); }
    void tmrFocusLockTimer() { m_focusLock->step(); }
    void tmrAutoStartTimer() { m_timers->autoStartStep(); }
    void tmrUpdatePercentileRankTimer() { m_timers->percentileRankStep(); }
    // The start command ("Start", F9).
    void Start1Click();
    // "Beenden".
    void quitCommand() { onQuit(); }

    bool mouseEditing() const { return m_runState.shown.mouseEditing; }

    // The run state this window shows from now on (the plan runner's); until then, and in a
    // window without a runner, it keeps one of its own. What the window already shows is
    // handed over first.
    void observe(RunStatePublisher& state) { m_runState.observe(state); }
    // Changes the run state this window shows (its own commands and timers go this way too,
    // so that what it shows and the run state never part).
    template <class Change> void updateRunState(Change&& change) { m_runState.update(change); }

    // PlanningView: what running a plan asks of this window.
    void showWindow() override { show(); }
    void hideWindow() override { hide(); }
    void showCentred() override;
    void releaseDialogGuard() override;
    void showError(const QString& title, const QString& text) override;

    // PlanningHost
    void captionChanged(const QString& caption) override { setWindowTitle(caption); }
    void entriesChanged() override;
    void restartUpdateTimer() override;

signals:
    // "Beenden", or closing while the Timer window is hidden: the program is to end.
    void terminateRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    Settings& settings() const;
    // The widgets brought to the run state, each touched only when what it shows changed.
    void showRunState(const RunState& state, const RunState& was);
    void updateMenuStates();

    void createControls();
    void createMenus();
    // FormShow and the hiding counterpart.
    void formShow();
    void formHide();
    // Commands the window adds to those of the menus' command classes.
    void onLogs();
    void onQuit();

    const WorklistServices m_services;
    ConversionGuard m_guard;
    PlanCommands m_planCommands;
    SettingsCommands m_settingsCommands;
    HelpCommands m_helpCommands;
    QPointer<QWidget> m_timerWindow;

    PlanListView* lvPlan = nullptr;
    InputStrip* pnlHinzu = nullptr;
    PlanningLayout* m_layout = nullptr;
    // Every menu and the items the window reaches by name.
    PlanningMenus m_menus;
    PlanningMenuStates m_menuStates{m_menus};

    PlanningTimers* m_timers = nullptr;
    FocusLock* m_focusLock = nullptr;

    // The run state: the runner's once observed, else the window's own; and what is shown.
    ShownRunState m_runState;
    bool m_shownBefore = false;
};
