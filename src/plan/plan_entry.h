#pragma once

#include <QString>

// The texts a plan entry's fields hold. The plan file, the display and the run engine all rely
// on exactly these, so every piece of code compares and writes them through these names.
namespace planvocab {

inline const QString statusPending = QStringLiteral(" ");
inline const QString statusRunning = QStringLiteral("WIP");
// A unit just completed blinks between these two before it becomes statusDone.
inline const QString statusBlinkOn = QStringLiteral("FERTIG1");
inline const QString statusBlinkOff = QStringLiteral("FERTIG2");
inline const QString statusDone = QStringLiteral("x");

inline const QString modeFixed = QStringLiteral("F");
inline const QString modeRelative = QStringLiteral("R");

inline const QString kindUnit = QStringLiteral("E");
inline const QString kindPause = QStringLiteral("P");

inline const QString conflict = QStringLiteral("E");

} // namespace planvocab

// One row of the plan list. Every field is text in exactly the form it is shown and stored;
// computations read the texts back (see plan_time.h).
struct PlanEntry {
    QString number;       // unit number within its day, "" for pauses
    QString startTime;    // "hh:nn"
    QString endTime;      // "hh:nn"
    QString displayText;  // unit title, or "Pause: N min" [+ " (" + title + ")"]
    QString startMode;    // planvocab::modeFixed or modeRelative
    QString kind;         // planvocab::kindUnit or kindPause
    QString duration;     // whole minutes, decimal
    QString status;       // one of planvocab's status texts
    QString date;         // "dd.mm.yyyy"
    QString conflictMark; // "" or planvocab::conflict

    bool isPause() const { return kind == planvocab::kindPause; }
    bool isUnit() const { return kind == planvocab::kindUnit; }
    bool isFixed() const { return startMode == planvocab::modeFixed; }
    bool isPending() const { return status == planvocab::statusPending; }
    bool isRunning() const { return status == planvocab::statusRunning; }
    bool isFinished() const {
        return status == planvocab::statusDone || status == planvocab::statusBlinkOn ||
               status == planvocab::statusBlinkOff;
    }
    bool isOpen() const { return !isFinished(); }

    // For a pause: the text after the first "(" of displayText without its last character;
    // empty when there is no "(".
    QString pauseTitle() const;

    bool operator==(const PlanEntry&) const = default;
};
