#pragma once

#include <QString>

// What the run engine asks of the Timer window. The window implements it; NullTimerView stands
// in before the window exists.
class TimerView {
public:
    enum class Phase { Unit, Pause };

    virtual ~TimerView() = default;

    virtual void showWindow() = 0;
    virtual void hideWindow() = 0;
    // tmrZeit, 100 ms: each event calls RunEngine::Tick.
    virtual void setTickTimer(bool on) = 0;
    // tmrVordergrund: foreground keeping.
    virtual void setForegroundKeeping(bool on) = 0;
    // Unit: black display with white digits, white move handle; pause: the reverse.
    virtual void setPhaseColours(Phase phase) = 0;
    // The window's hint text; an empty text switches tooltips off.
    virtual void setTooltip(const QString& text) = 0;
    // Redraws the time display from RunEngine's state (and the presence window's caption).
    virtual void UpdateDisplay() = 0;
    // tmrWindowsBlock with this interval (15000 after a unit, 1000 for a "LOCK" pause); each
    // event calls RunEngine::workstationLockStep with the interval it fired at.
    virtual void startWorkstationLockTimer(int intervalMs) = 0;
    // Stops it and resets its interval to 15000.
    virtual void stopWorkstationLockTimer() = 0;
    // The presence confirmation window ("Anwesenheit bestätigen").
    virtual void showPresenceConfirmation() = 0;
    virtual void hidePresenceConfirmation() = 0;
    virtual void showFirstStartHint() = 0;
    // "Neue Einheit", "Auswertung", "Logs", "Einstellungen", "Über Taktplan", "Beenden".
    virtual void setRunMenuEnabled(bool enabled) = 0;
    // To X/Y of the settings.
    virtual void moveToSavedPosition() = 0;
    // The reminder window, if visible, is shown again so that it stays in front.
    virtual void raiseReminderIfVisible() = 0;
};

// Does nothing: no Timer window (yet).
class NullTimerView final : public TimerView {
public:
    void showWindow() override {}
    void hideWindow() override {}
    void setTickTimer(bool) override {}
    void setForegroundKeeping(bool) override {}
    void setPhaseColours(Phase) override {}
    void setTooltip(const QString&) override {}
    void UpdateDisplay() override {}
    void startWorkstationLockTimer(int) override {}
    void stopWorkstationLockTimer() override {}
    void showPresenceConfirmation() override {}
    void hidePresenceConfirmation() override {}
    void showFirstStartHint() override {}
    void setRunMenuEnabled(bool) override {}
    void moveToSavedPosition() override {}
    void raiseReminderIfVisible() override {}
};
