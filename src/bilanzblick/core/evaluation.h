#pragma once

#include "log_days.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QVector>

#include <functional>
#include <optional>
#include <utility>

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

// How the charts lay out their axes.

// An axis from 0 with round steps (1, 2 or 5 times a power of ten) and at most maxSteps of them,
// reaching at least `value`: 157 gives 0, 50 ... 200, never 52, 105, 157.
struct AxisScale {
    double top = 1;
    double step = 1;
};
AxisScale roundScale(double value, int maxSteps = 6);

// Every how many bars one is labelled so that at most maxLabels labels show: 1, 2, 5, 10, 20 ...;
// months go by 1, 2, 3, 6, 12, 24, 60 ... so that a label stays on the same month of the year.
int labelStep(qsizetype bars, int maxLabels, bool months);

// The whole hours of a day over which minutes-done curves (cumulativeCurve) rise, an hour more on
// either side, within 0 to 24. Curves that never rise: the whole day.
struct HourSpan {
    int from = 0;
    int to = 24;
};
HourSpan activeHours(const QList<QVector<double>>& curves, int stepMinutes);

// The stretches of bars that have a target, as first and last index: a target line is drawn over
// these only, not across the days without one.
QList<std::pair<int, int>> targetRuns(const QList<bool>& hasTarget);

// The days the window's export writes of a chosen range: none after today, where a day has
// nothing yet and a zero would read as a day without work. A range wholly ahead ends before it
// begins (only the header is written).
std::pair<QDate, QDate> exportRange(QDate from, QDate to, QDate today);

// One record per calendar day from `from` to `to`.
enum class ExportFormat { Csv, Json };
QByteArray exportDays(const LogDays& log, QDate from, QDate to, ExportFormat format);
// The same in pieces of some kilobytes, so that a range of centuries is never held whole; stops
// at the first piece write refuses and returns false.
using ExportSink = std::function<bool(QByteArrayView piece)>;
bool writeDays(const LogDays& log, QDate from, QDate to, ExportFormat format, const ExportSink& write);

} // namespace evaluation
