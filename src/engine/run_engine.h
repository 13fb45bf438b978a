#pragma once

#include "planning_view.h"
#include "run_control.h"
#include "run_state.h"
#include "timer_view.h"

#include <QDateTime>
#include <QString>

class CompanionProgram;
class CountdownOverlay;
class PercentileSource;
class PlanRunner;
class Publisher;
class SoundPlayer;
class UserInterface;
class Worklist;
class WorkstationLock;
struct Records;

// The run engine: counts the running unit or pause down from the clock, logs the unit, and at
// the end of a phase hands the entry back to the plan runner. Driven by the Timer window's
// tmrZeit (100 ms) through Tick. What the windows show of it (the Timer window, the Planning
// window's focus lock and menu item) it publishes in the runner's run state. All times are wall-clock times
// (plantime::wall); UNIX times are counted on the same local clock, without any time-zone conversion.
class RunEngine final : public RunControl {
public:
    struct Services {
        Records& records;
        PlanRunner& runner;
        SoundPlayer& sound;
        WorkstationLock& workstationLock;
        CompanionProgram& companion;
        Publisher& publisher;
        CountdownOverlay& countdown;
        PercentileSource& percentile;
        UserInterface& ui;
    };
    // Becomes the run control of the runner's worklist.
    explicit RunEngine(const Services& services);
    RunEngine(const RunEngine&) = delete;
    RunEngine& operator=(const RunEngine&) = delete;
    ~RunEngine() override;

    // nullptr: none (NullTimerView).
    void setTimerView(TimerView* view);
    // nullptr: none (NullPlanningView).
    void setPlanningView(PlanningView* view);

    // --- RunControl ----------------------------------------------------------------------
    void StartUnit(const QString& title, int minutes, qint64 startStampMs) override;
    void StartPause(const QDateTime& until) override;
    bool active() const override { return m_active; }
    bool unitRunning() const override { return m_unitRunning; }
    int percentileRank() const override;
    void stopForReplan() override;
    bool failedMark() const override { return m_failedMark; }
    void lockWorkstationUntil(qint64 untilUnixSecs) override;
    void stopWorkstationLock() override;

    // One tmrZeit event.
    void Tick();
    // One tmrWindowsBlock event that fired at intervalMs.
    void workstationLockStep(int intervalMs);
    // The tick of "Aktuelle Einheit gescheitert".
    void setFailedMark(bool failed) { m_failedMark = failed; }

    // --- the running phase (what the windows show is published in the run state) ----------
    RunState::Phase phase() const { return m_phase; }
    qint64 remainingSeconds() const { return m_remainingSecs; }
    qint64 remainingMs() const { return m_remainingMs; }
    // The full length of the running unit (the last unit's during a pause).
    qint64 entryLengthMs() const { return m_durationMs; }
    const QString& currentTitle() const { return m_title; }
    // Phase start plus the unit length; wall-clock.
    QDateTime unitEnd() const { return m_unitEnd; }
    qint64 lockUntil() const { return m_lockUntil; }

    // UNIX seconds and milliseconds of a wall-clock time, on the local clock.
    static qint64 unixSecs(const QDateTime& wall);
    static QDateTime wallFromUnixMs(qint64 ms);

private:
    // Changes the engine's part of the run state; the windows follow.
    template <class Change> void publish(Change&& change);
    // The time display: title, remaining seconds, end and rank as they stand.
    void publishDisplay();
    void computeRemaining();
    void endOfPause();
    void endOfUnit();
    // The plan ran to its end: the moment for a notification.
    void announcePlanEnd();
    QString currentLogLine() const;
    QString unitTooltip() const;
    QString pauseTooltip() const;
    QString rankText() const;
    QString lastEnd() const;
    QDateTime now() const;
    qint64 nowUtcMs() const;
    Worklist& worklist() const;

    Services m_s;
    NullTimerView m_noTimer;
    NullPlanningView m_noPlanning;
    TimerView* m_timer;
    PlanningView* m_planning;

    RunState::Phase m_phase = RunState::Phase::Pause;
    bool m_active = false;
    bool m_unitRunning = false;
    bool m_absoluteEnd = false;
    QString m_title;
    int m_minutes = 0;
    qint64 m_durationMs = 0;
    qint64 m_startStampMs = 0;
    // The real instants behind the wall-clock times, for counting down across clock changes.
    qint64 m_startUtcMs = 0;
    qint64 m_lastElapsedMs = 0;
    qint64 m_untilUtcMs = 0;
    QDateTime m_phaseStart;
    QDateTime m_unitEnd;
    // The end of a pause phase; wall-clock.
    QDateTime m_until;
    qint64 m_remainingMs = 0;
    qint64 m_remainingSecs = 0;
    // The remaining seconds at the previous tick of the phase (-1 before its first tick), so
    // that a second skipped by a stalled program (a countdown, the task-change hint) is still
    // announced, and only once.
    qint64 m_previousTickSecs = -1;
    bool m_logged = false;
    QString m_logLine;
    qint64 m_lockUntil = 0;
    bool m_failedMark = false;
};
