#pragma once

// The Planning window: the plan list, the input line, the menus and the timers that animate
// them. Handlers stay thin: they read the widgets, call the plan's operations and refresh.

#include "focus_lock.h"
#include "help_commands.h"
#include "input_strip.h"
#include "plan_commands.h"
#include "plan_file.h"
#include "planning_look.h"
#include "planning_menus.h"
#include "planning_view.h"
#include "run_state.h"
#include "settings_commands.h"
#include "shown_run_state.h"
#include "worklist.h"
#include "worklist_services.h"

#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <memory>

class MenuKeys;
class PlanListView;
class QAction;
class QKeyEvent;
class QMenu;
class QTimer;
class TitleComboBox;
class WindowUserInterface;
struct Settings;

class TFWorklist final : public QMainWindow, public PlanningHost, public PlanningView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFWorklist)

public:
    // Creation: state, font from Schriftgroesse, LoadPlan(worklist.log).
    explicit TFWorklist(const WorklistServices& services, QWidget* parent = nullptr);
    ~TFWorklist() override;

    Worklist& worklist();
    PlanFile& planFile();

    // Start-up: the first-start hint "Hier Aufgabe eingeben und ENTER drücken" in cbbAufgabe.
    void showFirstStartHint();
    // Start-up: enables tmrAutoStart (resume a running plan about 100 ms after start).
    void enableAutoStart();
    // SavePlan(worklist.log, without finished, with dates).
    bool savePlan();
    // Breite and Hoehe of the settings from the window while it is shown; the app calls it at
    // the end of a run, however the run ends.
    void rememberSize();
    // Brings the window to the front, restored if minimised (second start, focus lock).
    void bringToFront() override;

    // The Timer window: while it is visible, closing this window only hides it.
    void setTimerWindow(QWidget* timerWindow);
    // The percentile rank's recomputation, run by tmrUpdatePercentileRank before the caption
    // is refreshed; without it the timer only refreshes the caption.
    void setPercentileUpdate(std::function<void()> update) { m_updatePercentile = std::move(update); }
    // Another window of the program that the focus lock leaves in front (reminder, about,
    // confirmation).
    void addForegroundPeer(QWidget* window);
    // What "Debugger anzeigen" and "Über Taktplan" do: show the debug viewer and the about
    // window, which the program owns (this window does not know them).
    void setHelpWindows(std::function<void()> showDebugger, std::function<void()> showAbout);

    // The finish blink of a unit that has just been completed (FinishRunningEntry).
    void startFinishBlink() override;

    // Timer handlers, as their timers call them.
    void tmrUpdateTimer();
    void tmrBlinkenTimer();
    void tmrCaptionBlinkenTimer();
    void tmrFocusLockTimer() { m_focusLock->step(); }
    void tmrAutoStartTimer();
    void tmrUpdatePercentileRankTimer();
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
    void showWindow() override;
    void hideWindow() override;
    void showCentred() override;
    void releaseDialogGuard() override;
    void showError(const QString& title, const QString& text) override;

    // PlanningHost
    void captionChanged(const QString& caption) override;
    void entriesChanged() override;
    void restartUpdateTimer() override;

signals:
    // "Beenden", or closing while the Timer window is hidden: the program is to end.
    void terminateRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Settings& settings() const;
    // What the run engine (if any) reports.
    bool engineActive() const;
    bool unitRunning() const;
    RunState::Phase enginePhase() const;
    // The widgets brought to the run state, each touched only when what it shows changed.
    void showRunState(const RunState& state, const RunState& was);
    // The blink timer's and FormShow's part: caption suffix, blink and (while a plan runs)
    // the start item, by the one rule.
    void showLook(const PlanningLook& look, bool withStartItem);

    void createControls();
    void createMenus();
    void createTimers();
    void applyFont();
    void arrangeControls();
    void refreshList();
    QList<int> selectedRows() const;

    // FormShow and the hiding counterpart.
    void formShow();
    void formHide();
    // The menus' enabled states by the run's phase; touched only when the phase changed.
    void updateMenuStates();
    void updateDeleteEnabled();
    void disableDelete();
    bool keyHook(const QKeyEvent& key);

    // Runs a plan operation; a value that does not convert (a hand-edited plan file) leaves
    // one debug line per distinct failure instead of taking the program down.
    bool guarded(const std::function<void()>& operation, const char* where);

    // Commands the window adds to those of the menus' command classes.
    void onLogs();
    void onQuit();
    // Keys typed in the plan list.
    bool listKeyEvent(QKeyEvent& key);
    // "Einstellungen": captions and check marks brought up to date when the menu opens.
    void updateSettingsMenu();

    const Clock& m_clock;
    const DataFolder& m_folder;
    Records& m_records;
    CompanionProgram& m_companion;
    Shell& m_shell;
    ProgramLauncher& m_launcher;
    UserInterface& m_ui;
    WindowUserInterface* m_windowUi = nullptr; // when m_ui is the real one
    Worklist& m_worklist;
    PlanFile& m_planFile;
    PlanCommands m_planCommands;
    SettingsCommands m_settingsCommands;
    HelpCommands m_helpCommands;

    QPointer<QWidget> m_timerWindow;

    // Controls.
    QWidget* m_client = nullptr;
    PlanListView* lvPlan = nullptr;
    InputStrip* pnlHinzu = nullptr;
    TitleComboBox* cbbAufgabe = nullptr;
    MenuKeys* m_keys = nullptr;

    // Every menu and the items the window reaches by name.
    PlanningMenus m_menus;

    // Timers.
    QTimer* tmrUpdate = nullptr;
    QTimer* tmrBlinken = nullptr;
    QTimer* tmrCaptionBlinken = nullptr;
    FocusLock* m_focusLock = nullptr;
    QTimer* tmrFocusLock = nullptr;
    QTimer* tmrAutoStart = nullptr;
    QTimer* tmrUpdatePercentileRank = nullptr;

    // The run state: the runner's once observed, else the window's own; and what is shown.
    ShownRunState m_runState;
    std::optional<RunState::Phase> m_menusShownFor;

    // State.
    QString m_lastConversionError;
    bool m_shownBefore = false;
    std::function<void()> m_startCommand;
    std::function<void()> m_autoStartCommand;
    std::function<void()> m_updatePercentile;
};
