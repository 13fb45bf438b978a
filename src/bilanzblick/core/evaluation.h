#pragma once

#include "log_days.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>

// The statistics of Bilanzblick, computed from the days of the activity log. Plain functions
// over LogDays: no widgets, no files.
namespace evaluation {

// Units, minutes and targets of a stretch of days.
struct PeriodSummary {
    int unitsDone = 0;
    qint64 minutesDone = 0;
    int unitsFailed = 0;
    qint64 targetSum = 0; // the sum of the targets of the days that have one
    int daysWithTarget = 0;
    int daysTargetMet = 0;
    int replans = 0;

    bool targetMet() const { return daysWithTarget > 0 && daysTargetMet == daysWithTarget; }
};
PeriodSummary summarize(const LogDays& log, QDate from, QDate to);

// Monday of the date's week, the first of its month.
QDate weekStart(QDate date);
QDate monthStart(QDate date);

// Days in a row that carried a streak (DayRecord::streakDay); Sundays that do not are passed
// over instead of breaking it. Today counts when it already carries one; while it does not,
// the streak up to yesterday is still the current one.
struct Streaks {
    int current = 0;
    int longest = 0;
};
Streaks streaks(const LogDays& log, QDate today);

// Percentile with linear interpolation between the sorted values (p in 0..1).
double percentile(QVector<double> values, double p);

// Minutes done by each moment of a day: a unit adds its minutes while it runs. Sampled every
// stepMinutes from 00:00 to 24:00 (both included). Times are wall-clock times, so a day of
// the clock change has the same axis as any other.
QVector<double> cumulativeCurve(const DayRecord& day, int stepMinutes);

// The usual course of a weekday: the curves of that weekday in the last `weeks` weeks before
// `before` (not before the log's first day), with their 25th, 50th and 75th percentile.
struct NormalBand {
    int stepMinutes = 15;
    QList<QDate> days; // the days the band is made of, newest first
    QVector<double> p25, median, p75;
};
NormalBand normalBand(const LogDays& log, int weekday, QDate before, int weeks, int stepMinutes = 15);

struct Rate {
    int total = 0;
    int done = 0;
    double share() const { return total > 0 ? double(done) / total : 0.0; }
};

struct UnfinishedTitle {
    QString title;
    int days = 0;
};

// Where units fail: the share of unit lines finished, by start hour and weekday and by length,
// and the titles left unfinished on three or more days (most days first).
struct FailureStats {
    Rate byWeekdayHour[7][24]; // [Monday = 0][hour]
    QMap<int, Rate> byLength;
    QList<UnfinishedTitle> unfinishedTitles;
};
FailureStats failures(const LogDays& log, QDate from, QDate to);

// Re-plannings by reason: the same text whatever its case and surrounding blanks.
struct ReasonGroup {
    QString text; // as first written
    int total = 0;
    QMap<QString, int> perWeek;  // "2025-W49"
    QMap<QString, int> perMonth; // "2025-12"
};
struct ReplanStats {
    QList<ReasonGroup> reasons; // most frequent first
    Rate targetWithReplans;     // days with a target and at least one re-planning
    Rate targetWithoutReplans;
};
ReplanStats replans(const LogDays& log, QDate from, QDate to);
QString weekKey(QDate date);
QString monthKey(QDate date);

// How often each target value was met, and a realistic one: the highest value met on at least
// two thirds of the last twenty days before today that had a target.
struct Calibration {
    QMap<int, Rate> byTarget;
    std::optional<int> suggested;
    int basisDays = 0;
};
Calibration calibrate(const LogDays& log, QDate today);

struct TitleTotal {
    QString title;
    qint64 minutes = 0;
    int units = 0;
};
// Finished minutes and units per title, most minutes first.
QList<TitleTotal> titleTotals(const LogDays& log, QDate from, QDate to);

// One record per calendar day from `from` to `to`.
enum class ExportFormat { Csv, Json };
QByteArray exportDays(const LogDays& log, QDate from, QDate to, ExportFormat format);
// The same in pieces of some kilobytes, so that a range of centuries is never held whole; stops
// at the first piece write refuses and returns false.
using ExportSink = std::function<bool(QByteArrayView piece)>;
bool writeDays(const LogDays& log, QDate from, QDate to, ExportFormat format, const ExportSink& write);

} // namespace evaluation
