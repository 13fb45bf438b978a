#pragma once

#include <QDateTime>
#include <QString>

// What the plan needs of the run engine: the plan starts units and pauses through it and asks
// whether a plan runs. The run engine implements it; a plan without one never runs.
class RunControl {
public:
    virtual ~RunControl() = default;

    // A unit phase of the given minutes; startStampMs is 0 for "now", or the UNIX time in
    // milliseconds (local clock) at which a resumed unit began.
    virtual void StartUnit(const QString& title, int minutes, qint64 startStampMs) = 0;
    // A pause phase (a pause entry, or the wait for a fixed start) that ends at until, a
    // wall-clock time (plantime::wall).
    virtual void StartPause(const QDateTime& until) = 0;

    // The engine's main timer runs: a unit, a pause or a wait for a fixed start.
    virtual bool active() const = 0;
    // A unit (not a pause or a wait) runs.
    virtual bool unitRunning() const = 0;
    // The current percentile rank, shown in the caption when showPercentileRanking is on.
    virtual int percentileRank() const = 0;

    // Re-planning stops the phase without ending it: no log line, no sound, Timer window hidden.
    virtual void stopForReplan() {}
    // "Aktuelle Einheit gescheitert" is ticked: the unit ends without being counted.
    virtual bool failedMark() const { return false; }
    // A "LOCK" pause: the workstation is locked every second until this UNIX second.
    virtual void lockWorkstationUntil(qint64 untilUnixSecs) { (void)untilUnixSecs; }
    // Re-planning ends any workstation lock still due.
    virtual void stopWorkstationLock() {}
};
