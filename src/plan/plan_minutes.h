#pragma once

#include "plan_entry.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// The schedule runs ten times a second over the whole plan and reads every field back from its
// text. These readers and writers do that without allocating: a start is held as whole
// wall-clock minutes counted from Julian day 0, and a field is only rewritten when its text
// really changes. They accept and produce exactly what plan_time.h does (hand-edited texts
// such as "7.12.2026" or "9:05" take the slower lenient path there).
namespace planminutes {

using Minute = qint64;

inline constexpr int minutesPerDay = 24 * 60;

// Throw plantime::ConversionError for texts that do not convert.
qint64 readDay(const QString& dateText);    // Julian day
int readTimeOfDay(const QString& timeText); // minutes since midnight (seconds are dropped)
int readInt(const QString& text);
bool tryReadInt(const QString& text, int* out);

// date + startTime of an entry.
Minute readStart(const PlanEntry& entry);

inline qint64 dayOf(Minute m) {
    return m >= 0 ? m / minutesPerDay : -((-m + minutesPerDay - 1) / minutesPerDay);
}
inline int timeOfDayOf(Minute m) {
    return static_cast<int>(m - dayOf(m) * minutesPerDay);
}

Minute fromDateTime(const QDateTime& wallTime); // seconds dropped
QDateTime toDateTime(Minute m);                 // a wall-clock time (plantime::wall)

// Write "hh:nn", "dd.mm.yyyy" or a decimal number into a field; true when the text changed.
bool assignTime(QString& field, Minute m);
bool assignDate(QString& field, qint64 julianDay);
bool assignNumber(QString& field, int n);

} // namespace planminutes
