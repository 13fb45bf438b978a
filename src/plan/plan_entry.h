#pragma once

#include <QString>

// One row of the plan list. Every field is text in exactly the form it is shown and stored;
// computations read the texts back (see plan_time.h).
struct PlanEntry {
    QString number;       // unit number within its day, "" for pauses
    QString startTime;    // "hh:nn"
    QString endTime;      // "hh:nn"
    QString displayText;  // unit title, or "Pause: N min" [+ " (" + title + ")"]
    QString startMode;    // "F" fixed, "R" relative
    QString kind;         // "E" unit, "P" pause
    QString duration;     // whole minutes, decimal
    QString status;       // " ", "WIP", "FERTIG1", "FERTIG2", "x"
    QString date;         // "dd.mm.yyyy"
    QString conflictMark; // "" or "E"

    bool isPause() const { return kind == QLatin1String("P"); }
    bool isUnit() const { return kind == QLatin1String("E"); }
    bool isFixed() const { return startMode == QLatin1String("F"); }
    bool isPending() const { return status == QLatin1String(" "); }
    bool isRunning() const { return status == QLatin1String("WIP"); }
    bool isFinished() const {
        return status == QLatin1String("x") || status == QLatin1String("FERTIG1") ||
               status == QLatin1String("FERTIG2");
    }
    bool isOpen() const { return !isFinished(); }

    // For a pause: the text after the first "(" of displayText without its last character;
    // empty when there is no "(".
    QString pauseTitle() const;

    bool operator==(const PlanEntry&) const = default;
};
