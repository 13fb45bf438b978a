#pragma once

#include "plan_entry.h"
#include "typed_entry.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

class ActivityLog;
class Clock;
class RunControl;
struct FinishedUnit;
struct Settings;

// What the plan tells the Planning window around it. Defaults suit tests and the time
// before the windows exist.
class PlanningHost {
public:
    virtual ~PlanningHost() = default;
    // The caption text changed (UpdateCaption).
    virtual void captionChanged(const QString& caption) { (void)caption; }
    // Rows changed (added, removed, re-sorted or a field changed); the view repaints.
    virtual void entriesChanged() {}
    // AddEntry ends by (re)starting the schedule refresh timer tmrUpdate.
    virtual void restartUpdateTimer() {}
};

// Runs the host's timer restart however the operation ends: a conversion error of a
// hand-edited entry must not leave the schedule refresh stopped.
class RestartUpdateTimer {
public:
    explicit RestartUpdateTimer(PlanningHost& host) : m_host(host) {}
    ~RestartUpdateTimer() { m_host.restartUpdateTimer(); }
    RestartUpdateTimer(const RestartUpdateTimer&) = delete;
    RestartUpdateTimer& operator=(const RestartUpdateTimer&) = delete;

private:
    PlanningHost& m_host;
};

// The plan list and the operations on it: the model behind the Planning window. Every
// operation is plain and runs without any window, driven by the Clock.
class Worklist {
public:
    // Without a host nobody is told of changes until setHost.
    Worklist(const Clock& clock, const Settings& settings);
    Worklist(const Clock& clock, const Settings& settings, PlanningHost& host);
    Worklist(const Worklist&) = delete;
    Worklist& operator=(const Worklist&) = delete;

    // nullptr: nobody is told any more.
    void setHost(PlanningHost* host) { m_host = host ? host : &m_noHost; }
    // The run engine; none (the default): no plan runs.
    void setRunControl(RunControl* run) { m_run = run; }
    RunControl* runControl() const { return m_run; }
    // The run engine's main timer runs: the schedule then freezes all times.
    bool runActive() const;

    const QList<PlanEntry>& entries() const { return m_entries; }
    // One row's fields, changed in place (as a hand-edited plan file would give them); the row
    // keeps its identity. Nobody is told: the next schedule computation shows the change.
    PlanEntry& editEntry(qsizetype row) { return m_entries[row]; }
    // A number for each row that stays with its entry through every re-sort and edit and is
    // never reused, so views can follow entries that read alike. The plan file never sees it.
    quint64 entryId(qsizetype row) const { return m_ids.at(row); }
    // The row of the entry with that id, -1 when it is gone.
    qsizetype rowOf(quint64 id) const { return m_ids.indexOf(id); }

    // --- entries -----------------------------------------------------------------------
    // start is a wall-clock time (plantime::wall) with its date: a fixed start keeps it, even
    // when it has passed (the schedule then lets the entry follow the plan at once). Reading an
    // undated time as its next occurrence is up to whoever reads the time. status is " ", "WIP"
    // or "x".
    void AddEntry(const QString& title, bool isPause, const QDateTime& start, int duration, bool fixed,
                  const QString& status);
    // AddEntry's arguments.
    struct NewEntry {
        QString title;
        bool isPause = false;
        QDateTime start;
        int duration = 0;
        bool fixed = false;
        QString status;
    };
    // The same as AddEntry for each entry in turn, with the schedule computation each of them
    // ends with, but in about linear time: a long plan file loads at once.
    void addEntries(const QList<NewEntry>& entries);
    void PurgeOldFinished();
    void ClearOpenEntries();
    // Deletes the open entries among the rows (finished ones stay) and re-plans; nothing while
    // a plan runs. Returns how many went. The schedule may throw plantime::ConversionError.
    int deleteOpenEntries(const QList<int>& rows);
    // "Fertige Einheiten entfernen": takes the finished entries out; they still count as done
    // (removedDoneCount). Returns how many went.
    int removeFinished();
    // Takes one row out, whatever its state (a pause that has run, a failed unit).
    void removeEntry(qsizetype row);
    // One step of the finish blink of the unit that has just been completed: its status
    // alternates "FERTIG2"/"FERTIG1", and after blinkChanges changes it becomes "x". Returns
    // false when the blink is over (also when no unit is blinking any more).
    bool finishBlinkStep();
    static constexpr int blinkChanges = 14;
    // Today's finished records of the activity log become "x" entries (pauses by their "p"
    // title rule). First, a unit the plan file read back as running whose own completed line is
    // the log's last line is taken as finished (the program ended between the two writes at
    // its end), as the end of the unit would have done: it leaves the plan, the entry after it
    // keeps its planned start (fixed), and no re-planning is due for it. Returns whether that
    // happened; the plan file is then the caller's to save.
    bool LoadTodaysFinishedUnits(const ActivityLog& log);
    // The same for records already read from the log, in their order.
    void addFinishedRecords(const QList<FinishedUnit>& records);

    // --- editing the selected rows -------------------------------------------------------
    // rows: the selected rows in any order; the first selected entry is the lowest row. Finished
    // entries are left alone unless a command says otherwise; fields that do not convert (a
    // hand-edited file) leave their entry unchanged. Operations that end with the schedule may
    // throw plantime::ConversionError from it, after their own change is made.

    // The text a rename starts from (a unit's title, a pause's title); none when there is
    // nothing to rename (no row, or the first selected entry is finished).
    std::optional<QString> renamePrefill(const QList<int>& rows) const;
    // The first selected entry decides: a pause renames every selected pause, a unit every
    // selected open unit. Returns what had to be changed in the text for the plan file.
    TypedEntry::Adjustment renameEntries(const QList<int>& rows, const QString& text);
    // The first selected entry's start time when it is open; none otherwise.
    std::optional<QString> startTimePrefill(const QList<int>& rows) const;
    // A typed start time for one open entry: empty makes it relative, a time fixes it (tomorrow
    // when the time has passed today). True when the entry changed.
    bool setStartTime(int row, const QString& text);
    // Selected open entries become relative. Schedule.
    int clearStartTimes(const QList<int>& rows);
    // Open units start a minute later (fixed); pauses of any state grow by a minute. Schedule.
    void startOneMinuteLater(const QList<int>& rows);
    // Open units start a minute earlier (fixed) but not into the open entry above on the same
    // day; pauses of any state shrink by a minute down to 0; units whose start has come become
    // relative. Schedule.
    void startOneMinuteEarlier(const QList<int>& rows);
    // The first selected entry's date when it is open; none otherwise.
    std::optional<QString> datePrefill(const QList<int>& rows) const;
    // A typed date for the selected open entries (fixed from then on); a text that is not a
    // date changes nothing, and an entry that would end past the last date a plan file holds
    // keeps its own. Returns how many changed.
    int setDates(const QList<int>& rows, const QString& text);
    // Selected open entries get today's date. Schedule.
    int resetDates(const QList<int>& rows);
    // The first selected entry's length when it is open; none otherwise.
    std::optional<QString> durationPrefill(const QList<int>& rows) const;
    // A typed length: in pause mode (first selected entry a pause) for every selected pause, in
    // unit mode for every selected open unit. A text that is no length the plan can hold falls
    // back to the big pause or the unit length, except 0 for units: a unit of no time is
    // refused (false), and the lengths stay as they were.
    bool setDurations(const QList<int>& rows, const QString& text);
    // A new unit length for every unit still to do (status " "), fixed ones included; their ends
    // follow (a fixed one that would then end past the last date keeps its length). Returns
    // whether any changed.
    bool setPendingUnitLengths(int minutes);
    // Moves the selected open rows up (down) by one row as a block; a finished or unselected
    // blocked row stops it. Nothing at all when the first (last) row is selected: returns false.
    // *firstMoved: the id of the entry that moved first, 0 when none moved. Schedule.
    bool moveUp(const QList<int>& rows, quint64* firstMoved = nullptr);
    bool moveDown(const QList<int>& rows, quint64* firstMoved = nullptr);
    // Drag and drop: the selected rows from the top go in their order before the target row (to
    // the end when target is -1), up to the target itself if it is selected. Schedule twice.
    void moveRowsBefore(const QList<int>& rows, int target);

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
    void UpdateCaption();
    QString captionText() const;
    const QString& caption() const { return m_caption; }
    // The gap between two units: the setting "Kleine Pause", never below one minute.
    int smallPause() const;

    // --- planning-window state that belongs to the plan ---------------------------------
    // Finished units of today taken out of the list; they still count as done.
    int removedDoneCount() const { return m_removedDoneCount; }
    // The day the schedule last ran on.
    QDate lastScheduleDay() const { return m_lastScheduleDay; }
    // The Planning window opens: today is the schedule's day, and nothing has been taken out.
    void startPlanningDay();
    // A new day drops yesterday's finished units, also while a plan runs.
    void purgeOnNewDay(const QDate& today);
    // What the caption shows after the counts while a plan runs; the caption follows at once.
    void setCaptionSuffix(const QString& suffix);
    // One step of the caption's blink: the suffix comes and goes, and the next schedule refresh
    // writes the caption.
    void blinkCaptionSuffix(const QString& suffix) {
        m_captionSuffix = m_captionSuffix.isEmpty() ? suffix : QString();
    }
    // Raised by AddEntry when a running entry read back from the plan file has already ended:
    // the program re-plans instead of resuming.
    bool automaticStartFlag() const { return m_automaticStartFlag; }

    // The fields of one running or waiting entry, each change told to the host.
    // The entry runs (a pause; a running unit keeps its times).
    void markRunning(qsizetype row);
    // A unit runs from start for its length: its times and date become fixed there.
    void markRunningFrom(qsizetype row, const QDateTime& start, int minutes);
    // The unit is done; its finish blink begins.
    void markFinished(qsizetype row);
    // The entry waits again and follows the plan.
    void markPending(qsizetype row);
    // The entry keeps its start (fixed) or follows the entry before it (relative).
    void fixStart(qsizetype row);
    void makeRelative(qsizetype row);

private:
    struct Slot;
    bool settleLoggedRunningUnit(const ActivityLog& log);
    void notifyEntriesChanged();
    // Fields changed in place: the host repaints.
    void entriesEdited();
    void appendEntry(PlanEntry entry);
    // The row AddEntry appends (it may raise automaticStartFlag).
    PlanEntry makeEntry(const NewEntry& entry);
    // The last steps: conflicts with the open entry before, and unit numbers that restart on
    // each day. slots: each row's start and length (the length is read for open rows only).
    bool markConflictsAndNumber(const std::vector<Slot>& slots);
    // The valid rows among rows, ascending, each once.
    QList<int> selection(const QList<int>& rows) const;
    void swapRows(qsizetype a, qsizetype b);
    bool moveBlock(const QList<int>& rows, int step, quint64* firstMoved);
    // remove(entry, id) tells which rows go; the ids go with them.
    template <typename Predicate> qsizetype removeEntriesIf(Predicate remove);

    const Clock& m_clock;
    const Settings& m_settings;
    PlanningHost m_noHost;
    PlanningHost* m_host;
    RunControl* m_run = nullptr;
    QList<PlanEntry> m_entries;
    // Beside m_entries, row for row.
    QList<quint64> m_ids;
    quint64 m_nextId = 1;
    int m_blinkCounter = 0;
    QString m_caption;
    // Rows were added or removed since the host was last told.
    bool m_rowsChanged = false;
    // The running unit as the plan file gave it (AddEntry may have made it an entry to do
    // since, when its time was over), until the finished records are loaded.
    struct ReadBackRunning {
        quint64 id;
        PlanEntry entry;
    };
    std::optional<ReadBackRunning> m_readBackRunning;
    int m_removedDoneCount = 0;
    QDate m_lastScheduleDay;
    QString m_captionSuffix;
    bool m_automaticStartFlag = false;
};
