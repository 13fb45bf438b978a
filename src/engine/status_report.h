#pragma once

#include "run_state.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

class Worklist;

// What `taktplan --status` answers: the run as a panel or a script sees it, taken from the run
// state the windows observe and from the plan, never from the windows themselves.
struct StatusReport {
    // Wait: a plan runs, but nothing counts down for an entry of its own: it waits for a fixed
    // start, or for the user once a pause is over.
    enum class Phase { Planning, Unit, Pause, Wait };

    Phase phase = Phase::Planning;
    // The running unit's title, the running pause's text; empty when neither runs.
    QString title;
    // -1: nothing counts down (planning).
    qint64 remainingSeconds = -1;
    // Invalid: none.
    QDateTime endsAt;
    QString nextTitle;
    QDateTime nextStart;
    int doneToday = 0;
    int plannedToday = 0;
    // Negative: no target for today.
    int dailyTarget = -1;
    // -1: none, or the rank is switched off.
    int percentileRank = -1;

    // rank: the current percentile rank when the setting shows it, else -1. A hand-edited plan
    // whose times do not read leaves the plan's fields empty rather than failing the answer.
    static StatusReport from(const RunState& state, const Worklist& plan, int dailyTarget, int rank);

    static QString phaseName(Phase phase);
    // One object, local times as "2026-12-07T09:25:00", null where there is nothing.
    QByteArray toJson() const;
    // One short translated line a panel shows as it is.
    QString toText() const;
    // What waybar's custom module reads with return-type json.
    QByteArray toWaybar() const;
};
