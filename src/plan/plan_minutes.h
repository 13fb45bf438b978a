#pragma once

#include "plan_entry.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <limits>

// The schedule runs ten times a second over the whole plan and reads every field back from its
// text. These readers and writers do that without allocating: a start is held as whole
// wall-clock minutes counted from Julian day 0, and a field is only rewritten when its text
// really changes. They accept and produce exactly what plan_time.h and valuetext do: the fast
// path only takes the written forms, and everything else (hand-edited texts such as
// "7.12.2026", "9:05" or " 25") goes to the general readers.
namespace planminutes {

using Minute = qint64;

inline constexpr int minutesPerDay = 24 * 60;

// The longest entry a user can type or a file can hold: its length still counts in seconds
// within an int, and nothing longer is a plan for a day.
inline constexpr int longestDuration = std::numeric_limits<int>::max() / 60;
// A length read from a file or typed: a pause may take no time (it is dropped when it runs), a
// unit must.
bool isSensibleDuration(int minutes, bool isPause);

// The minutes a "dd.mm.yyyy" text can hold (years 1000 to 9999). The schedule never places an
// entry outside them, so every date it writes reads back.
Minute firstMinute();
Minute lastMinute();

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
