#pragma once

#include "plan_entry.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

class ActivityLog;
class Clock;
struct FinishedUnit;
struct Settings;

// What the plan needs from the Planning window around it. Defaults suit tests and the time
// before the windows exist.
class PlanningHost {
public:
    virtual ~PlanningHost() = default;
    // The run engine's main timer runs: the schedule then freezes all times.
    virtual bool engineActive() const { return false; }
    // Current percentile rank, shown when showPercentileRanking is on.
    virtual int percentileRank() const { return 0; }
    // The caption text changed (UpdateCaption).
    virtual void captionChanged(const QString& caption) { (void)caption; }
    // Rows changed (added, removed, re-sorted or a field changed); the view repaints.
    virtual void entriesChanged() {}
    // AddEntry ends by (re)starting the schedule refresh timer tmrUpdate.
    virtual void restartUpdateTimer() {}
};

// The plan list and the operations on it: the model behind the Planning window. Every
// operation is plain and runs without any window, driven by the Clock.
class Worklist {
public:
    Worklist(const Clock& clock, const Settings& settings, PlanningHost& host);

    QList<PlanEntry>& entries() { return m_entries; }
    const QList<PlanEntry>& entries() const { return m_entries; }

    // --- entries -----------------------------------------------------------------------
    // start is a wall-clock time (plantime::wall); status is " ", "WIP" or "x".
    void AddEntry(const QString& title, bool isPause, const QDateTime& start, int duration, bool fixed,
                  const QString& status);
    void PurgeOldFinished();
    void ClearOpenEntries();
    // Today's finished records of the activity log become "x" entries (pauses by their "p"
    // title rule).
    void LoadTodaysFinishedUnits(const ActivityLog& log);
    // The same for records already read from the log, in their order.
    void addFinishedRecords(const QList<FinishedUnit>& records);

    // --- queries (-1, an invalid QDateTime or "" when nothing matches) -------------------
    int FirstOpenIndex() const;
    int FirstOpenTomorrowIndex() const;
    QString NextPendingTitle() const;
    QString NextPendingUnitTitle() const;
    bool NextPendingIsPause() const;
    QDateTime NextPendingStart() const;
    QDateTime NextPendingUnitStart() const;
    int DoneCount() const;
    int PlannedTodayCount() const;

    // --- schedule ----------------------------------------------------------------------
    void RecomputeSchedule();
    // After many entries came in at once (a plan file): the schedule again while a pass still
    // re-sorts the list, as the passes after each single AddEntry would have done.
    void settleSchedule();
    void UpdateCaption();
    QString captionText() const;
    const QString& caption() const { return m_caption; }
    // -1, 0 or 1 by entry start.
    static int lvPlanCompare(const PlanEntry& a, const PlanEntry& b);
    // The gap between two units: the setting "Kleine Pause", never below one minute.
    int smallPause() const;

    // --- planning-window state that belongs to the plan ---------------------------------
    int removedDoneCount = 0;
    QDate lastScheduleDay;
    QString captionSuffix;
    // Raised by AddEntry when a running entry read back from the plan file has already ended:
    // the program re-plans instead of resuming.
    bool automaticStartFlag = false;
    // Set while a plan file loads: AddEntry then leaves the schedule to the one computation at
    // the end of the load, which keeps loading a long plan linear.
    bool deferSchedule = false;

private:
    void notifyEntriesChanged();

    const Clock& m_clock;
    const Settings& m_settings;
    PlanningHost& m_host;
    QList<PlanEntry> m_entries;
    QString m_caption;
    // Rows were added or removed since the host was last told.
    bool m_rowsChanged = false;
    // The last RecomputeSchedule changed the order of the list.
    bool m_reordered = false;
};
