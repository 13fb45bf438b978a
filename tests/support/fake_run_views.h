#pragma once

#include "autostart_entry.h"
#include "run_feedback.h"
#include "timer_view.h"

#include <QStringList>

// The windows and services around a running plan, reduced to a record of what they were asked:
// one short word per call ("show", "tick on", "lock 15000", ...), so a test compares sequences.
class RecordingTimerView final : public TimerView {
public:
    void showWindow() override { note(QStringLiteral("show")); }
    void hideWindow() override { note(QStringLiteral("hide")); }
    void setTickTimer(bool on) override { note(on ? QStringLiteral("tick on") : QStringLiteral("tick off")); }
    void setForegroundKeeping(bool) override {}
    void setPhaseColours(Phase p) override {
        note(p == Phase::Unit ? QStringLiteral("black") : QStringLiteral("white"));
    }
    void setTooltip(const QString& text) override { tooltip = text; }
    void UpdateDisplay() override {}
    void startWorkstationLockTimer(int ms) override { note(QStringLiteral("lock ") + QString::number(ms)); }
    void stopWorkstationLockTimer() override { note(QStringLiteral("lock off")); }
    void showPresenceConfirmation() override {
        if (!presenceShown)
            note(QStringLiteral("presence"));
        presenceShown = true;
    }
    void hidePresenceConfirmation() override { presenceShown = false; }
    void showFirstStartHint() override {}
    void setRunMenuEnabled(bool on) override { menuEnabled = on; }
    void moveToSavedPosition() override {}
    void raiseReminderIfVisible() override {}

    void note(const QString& call) { calls.append(call); }
    QStringList calls;
    QString tooltip;
    bool presenceShown = false;
    bool menuEnabled = true;
};

class FakeAutostartEntry final : public AutostartEntry {
public:
    bool write() override { return present = true; }
    bool remove() override {
        present = false;
        return true;
    }
    bool exists() const override { return present; }
    bool present = false;
};

class RecordingCountdown final : public CountdownOverlay {
public:
    void showFor(int ms) override { shown.append(ms); }
    void hide() override {}
    QList<int> shown;
};
