#pragma once

#include "timer_view.h"

#include <QList>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

class Clock;
class CompanionProgram;
class CountdownOverlay;
class PlanFile;
class ProgramLauncher;
class QAction;
class QLabel;
class QMenu;
class QTimer;
class Shell;
class TFBestaetigung;
class TimerModel;
class UserInterface;
class Worklist;
struct Records;

// Everything the Timer window uses from outside; created by the program before the window.
struct TimerServices {
    const Clock& clock;
    Records& records;
    Worklist& worklist;
    PlanFile& planFile;
    UserInterface& ui;
    CompanionProgram& companion;
    ProgramLauncher& launcher;
    Shell& shell;
    CountdownOverlay& countdown;
    TimerModel& model;
    // The presence confirmation window; may be none.
    TFBestaetigung* presence = nullptr;
    // Puts a window of the program in front of other programs; the program hands in the
    // system's way (bringWindowToFront). Without one, Qt's own raise and activate do it.
    std::function<void(QWidget&)> bringToFront = {};
    // Starts a program file by its full path (QProcess::startDetached if none).
    std::function<bool(const QString&)> startFile = {};
    // Where the program file lies (the application's folder if empty).
    QString programFolder = {};
};

// The Timer window: the small borderless strip that counts the running unit or pause down,
// stays in front while a phase runs, and carries the popup menu of a running plan.
class TFTimer final : public QWidget, public TimerView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFTimer)

public:
    explicit TFTimer(const TimerServices& services, QWidget* parent = nullptr);
    ~TFTimer() override;

    // The Planning window, which "Planungsmodus" and a double-click bring up.
    void setPlanningWindow(QWidget* window);
    // The countdown overlay's window, kept in front while it shows.
    void setCountdownWindow(QWidget* window);
    // The first-start hint window, shown when the first unit of a first start begins.
    void setFirstStartHintWindow(QWidget* window);
    // The reminder window (shown again to stay in front), looked up when needed: it is created
    // only when first used. The lookup answers nullptr while there is none.
    void setReminderWindow(std::function<QWidget*()> lookup);
    // Another window of the program that foreground keeping leaves in front.
    void addForegroundPeer(QWidget* window);
    // What "Über Taktplan" does: shows the about window, which the program owns.
    void setAboutCommand(std::function<void()> showAbout);

    // "Planungsmodus": the Planning window centred and shown, the countdown hidden.
    void planningMode();
    // "Beenden" > "Bestätigen" (also from the settings).
    void exitCommand();
    // "Einstellungen": Settings.ini opened in the user's editor, the companion program told, and
    // the program ended (as "Beenden" does), so that the edited file is read at the next start.
    void settingsCommand();
    // The screens changed.
    void displayChanged();
    // "Auswertung".
    void startEvaluation();
    bool compactDisplay() const { return m_compact; }
    bool foregroundKeepingActive() const;
    // tmrVordergrund, for the dialog guard to rest while a question is open.
    QTimer* foregroundKeepingTimer() const { return tmrVordergrund; }

    // TimerView
    void showWindow() override;
    void hideWindow() override;
    void setTickTimer(bool on) override;
    void setForegroundKeeping(bool on) override;
    void setPhaseColours(Phase phase) override;
    void setTooltip(const QString& text) override;
    void UpdateDisplay() override;
    void startWorkstationLockTimer(int intervalMs) override;
    void stopWorkstationLockTimer() override;
    void showPresenceConfirmation() override;
    void hidePresenceConfirmation() override;
    void showFirstStartHint() override;
    void setRunMenuEnabled(bool enabled) override;
    void moveToSavedPosition() override;
    void raiseReminderIfVisible() override;

signals:
    // The program is to end.
    void terminateRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void createControls();
    void createMenu();
    void createTimers();
    void applyMenuRules();
    void applyColours();
    void keepOnDesktop(QWidget& window);
    bool isForegroundOurs() const;
    void bring(QWidget& window);
    void watchScreens();

    void tmrVordergrundTimer();
    void tmrWindowsBlockTimer();
    void onPresenceItem();
    void onFailedItem(bool checked);

    const Clock& m_clock;
    Records& m_records;
    Worklist& m_worklist;
    PlanFile& m_planFile;
    UserInterface& m_ui;
    CompanionProgram& m_companion;
    ProgramLauncher& m_launcher;
    Shell& m_shell;
    CountdownOverlay& m_countdown;
    TimerModel& m_model;
    QPointer<TFBestaetigung> m_presence;
    std::function<void(QWidget&)> m_bringToFront;
    std::function<bool(const QString&)> m_startFile;
    QString m_programFolder;

    QPointer<QWidget> m_planningWindow;
    QPointer<QWidget> m_countdownWindow;
    QPointer<QWidget> m_firstStartHint;
    std::function<QWidget*()> m_reminder;
    std::function<void()> m_showAbout;
    QWidget* reminder() const { return m_reminder ? m_reminder() : nullptr; }
    QList<QPointer<QWidget>> m_peers;

    QLabel* lblZeit = nullptr;
    QLabel* lblTransparenz = nullptr;
    QLabel* lblExit = nullptr;
    QLabel* lblBewegen = nullptr;
    QMenu* pm1 = nullptr;
    QList<QAction*> m_items;

    QTimer* tmrZeit = nullptr;
    QTimer* tmrVordergrund = nullptr;
    QTimer* tmrWindowsBlock = nullptr;
    QTimer* tmrUpdateCheck = nullptr;

    Phase m_phase = Phase::Unit;
    bool m_compact = true;
    bool m_runMenuEnabled = true;
    bool m_moving = false;
    QPoint m_moveOffset;
    // The time stamp of the last mouse press; 0: none yet.
    quint64 m_lastPress = 0;
};
