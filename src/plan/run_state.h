#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

// What a running plan (or its absence) looks like from outside: one value that the run engine
// and the plan runner keep current, and from which each window derives what it shows (menus,
// tooltips, blink, focus lock, position, the time display). Commands go the other way, through
// RunControl and PlanRunner calls. A window compares the new value with what it shows and
// touches its widgets only where something it shows changed.
struct RunState {
    enum class Phase { Planning, Unit, Pause };

    Phase phase = Phase::Planning;

    // --- the Planning window --------------------------------------------------------------
    // The main-menu start item: "Start", "Neu planen", "Neu planen (N)".
    QString startCaption;
    bool startEnabled = true;
    // " - EINHEIT AKTIV", " - PAUSE AKTIV" or empty.
    QString captionSuffix;
    bool captionBlink = false;
    bool inputVisible = true;
    // true: every item of the list popup menu; false: all but the first.
    bool listMenuAllItems = true;
    bool mouseEditing = true;
    bool maxReplanEnabled = true;
    // The application's tooltip delay in ms.
    int tooltipDelayMs = 500;
    bool focusLock = false;

    // --- the Timer window -----------------------------------------------------------------
    bool timerVisible = false;
    // tmrZeit runs (each event is one engine tick).
    bool ticking = false;
    bool foregroundKeeping = false;
    QString title;
    qint64 remainingSeconds = 0;
    // Wall-clock end of the running unit or pause.
    QDateTime end;
    // The Timer window's hint text; empty: tooltips off.
    QString timerTooltip;
    // "Neue Einheit", "Auswertung", "Logs", "Einstellungen", "Über Taktplan", "Beenden".
    bool runMenuEnabled = true;
    bool presenceConfirmationVisible = false;
    // tmrWindowsBlock's interval; 0: stopped.
    int workstationLockIntervalMs = 0;
    // -1: none.
    int percentileRank = -1;

    bool operator==(const RunState&) const = default;
};

// A moment of the run that passes rather than stays (a unit's end, the plan's end, the hint to
// prepare a change of task), with the words a notification would show.
struct RunMoment {
    enum class Kind { UnitEnd, PlanEnd, TaskChange };
    Kind kind = Kind::UnitEnd;
    QString summary;
    QString body;
};

// Holds the run state and tells observers when it changed; an update that changes nothing is
// not announced.
class RunStatePublisher final : public QObject {
    Q_OBJECT

public:
    const RunState& state() const { return m_state; }

    template <class Change> void update(Change&& change) {
        RunState next = m_state;
        change(next);
        if (next == m_state)
            return;
        m_state = std::move(next);
        emit changed(m_state);
    }

    void announce(const RunMoment& moment) { emit passed(moment); }

signals:
    void changed(const RunState& state);
    void passed(const RunMoment& moment);

private:
    RunState m_state;
};
