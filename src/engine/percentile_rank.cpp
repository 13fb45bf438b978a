#include "percentile_rank.h"

#include "activity_log.h"
#include "clock.h"
#include "plan_time.h"
#include "settings.h"
#include "value_text.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

constexpr QStringView finishMark = u" [x]";
constexpr QStringView targetWord = u"SOLL";
constexpr QStringView replanText = u"--- NEU GEPLANT ---";

// Positions of the stamp, counted from 0 (the file format counts from 1).
constexpr qsizetype dateAt = 4;
constexpr qsizetype timeAt = 15;
constexpr qsizetype markAt = 20;
constexpr qsizetype restAt = 21;

// Units in the old layout carry no length; they were 25 minutes when that layout was written,
// whatever the unit length is set to today.
constexpr int oldUnitMinutes = 25;

// Repeated at a lower level than the log's own readers, since the rank needs the time of day
// of every line and a reader per line would build a record for each of ten years of lines.
int digit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9' ? c.unicode() - '0' : -1;
}

// "hh:nn" at the time position as minutes since midnight; -1 when it is none.
int minuteOfDay(QStringView line) {
    if (line.size() < timeAt + 5 || line[timeAt + 2] != QLatin1Char(':'))
        return -1;
    const int d[4] = {digit(line[timeAt]), digit(line[timeAt + 1]), digit(line[timeAt + 3]),
                      digit(line[timeAt + 4])};
    for (int x : d) {
        if (x < 0)
            return -1;
    }
    const int hour = d[0] * 10 + d[1];
    const int minute = d[2] * 10 + d[3];
    return hour < 24 && minute < 60 ? hour * 60 + minute : -1;
}

bool hasAt(QStringView line, qsizetype at, QStringView text) {
    return line.size() >= at + text.size() && line.mid(at, text.size()) == text;
}

// The length of a unit line in minutes; false when the length field is not a number.
bool unitMinutes(QStringView line, int* minutes) {
    if (line[markAt] != QLatin1Char('|')) {
        *minutes = oldUnitMinutes;
        return true;
    }
    const QStringView rest = line.mid(restAt);
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    // A length below 0 (edited by hand) is no length: it would take minutes off the day's total.
    return valuetext::readInt(blank < 0 ? rest : rest.left(blank), minutes) && *minutes >= 0;
}

int workdays(const QDateTime& startDate, const QDateTime& now) {
    if (startDate > now)
        return 0;
    // startDate + k days for every k that stays at or before now.
    qint64 lastK = startDate.date().daysTo(now.date());
    if (startDate.time() > now.time())
        --lastK;
    int count = 0;
    QDate day = startDate.date();
    for (qint64 k = 0; k <= lastK; ++k, day = day.addDays(1)) {
        if (day.dayOfWeek() != Qt::Sunday)
            ++count;
    }
    return count;
}

} // namespace

namespace percentile {

int PercentileRank(const QStringList& lines, qint64 todayMinutes, const QDateTime& now,
                   const QDateTime& startDate) {
    if (todayMinutes == 0)
        return 0;
    const QDate firstDay = startDate.date();
    const QDate lastDay = now.date();
    const int nowMinute = now.time().hour() * 60 + now.time().minute();
    // One total per calendar day, however its lines are spread over the log (a merged or
    // hand-edited log, a clock set back): a day split into stretches is judged by its whole
    // total, and no day counts as better twice. Neighbouring lines nearly always share their
    // day, so a stretch is summed before it goes into its day's total.
    QHash<qint64, qint64> totals; // hand-edited lengths may add up beyond an int
    QDate currentDay;
    qint64 currentTotal = 0;
    const auto closeStretch = [&] {
        if (currentDay.isValid())
            totals[currentDay.toJulianDay()] += currentTotal;
    };
    QDate lastDate;
    QStringView lastDateField;
    for (const QString& text : lines) {
        const QStringView line = text;
        if (line.size() <= markAt || !line.endsWith(finishMark) || hasAt(line, timeAt, targetWord) ||
            hasAt(line, restAt, replanText))
            continue;
        const int minute = minuteOfDay(line);
        if (minute < 0 || minute > nowMinute)
            continue;
        // Neighbouring lines nearly always share their date: parse it once per day.
        const QStringView dateField = line.mid(dateAt, 10);
        QDate day;
        if (dateField == lastDateField) {
            day = lastDate;
        } else if (valuetext::readDate(dateField, &day)) {
            lastDateField = dateField;
            lastDate = day;
        } else {
            continue;
        }
        if (day < firstDay || day > lastDay || day.dayOfWeek() == Qt::Sunday)
            continue;
        int minutes = 0;
        if (!unitMinutes(line, &minutes))
            continue;
        if (day == currentDay) {
            currentTotal += minutes;
        } else {
            closeStretch();
            currentDay = day;
            currentTotal = minutes;
        }
    }
    closeStretch();
    const auto better = static_cast<int>(std::count_if(
        totals.cbegin(), totals.cend(), [todayMinutes](qint64 total) { return total > todayMinutes; }));
    const int days = workdays(startDate, now);
    if (days == 0)
        return 100;
    // The default rounding mode rounds halves to the even neighbour. Each day counts once on
    // both sides, so the share stays a share; the bound only guards the edge of the window.
    return static_cast<int>(std::nearbyint(double(days - std::min(better, days)) / double(days) * 100.0));
}

QDate FirstLogDate(const QStringList& lines, QDate today) {
    for (const QString& line : lines) {
        const QStringView field = QStringView(line).mid(dateAt, 10);
        QDate day;
        // A date still to come (a slip of the hand) would put the whole history after today.
        if (!field.trimmed().isEmpty() && valuetext::readDate(field, &day) && day <= today)
            return day;
    }
    return today;
}

} // namespace percentile

PercentileRank::PercentileRank(const Clock& clock, const Settings& settings, const ActivityLog& log)
    : m_clock(clock), m_settings(settings), m_log(log) {}

void PercentileRank::UpdatePercentile() {
    if (!m_settings.showPercentileRanking)
        return;
    // Real UNIX seconds, not the wall clock read as UTC: when daylight saving ends the wall
    // clock repeats an hour, and the rank would stand still for that hour. A clock set back
    // by hand does not hold the rank either.
    const qint64 secs = m_clock.utcNow().toSecsSinceEpoch();
    if (m_lastUnixSecs && secs - *m_lastUnixSecs <= 2 && secs >= *m_lastUnixSecs)
        return;
    const QDateTime now = plantime::now(m_clock);
    m_rank = percentile::PercentileRank(m_log.lines(), TodayMinutes(), now, startDate(now));
    m_lastUnixSecs = secs;
}

QDate PercentileRank::FirstLogDate() const {
    return percentile::FirstLogDate(m_log.lines(), m_clock.today());
}

qint64 PercentileRank::TodayMinutes() const {
    qint64 minutes = 0;
    for (const FinishedUnit& unit : m_log.FinishedUnits(m_clock.today()))
        minutes += std::max(unit.minutes, 0);
    return minutes;
}

QDateTime PercentileRank::startDate(const QDateTime& now) const {
    const QDateTime first = plantime::wall(FirstLogDate(), QTime(0, 0));
    if (m_settings.evaluateLastXDays == -1)
        return first;
    const QDateTime windowStart = now.addDays(-m_settings.evaluateLastXDays);
    return windowStart.date() < first.date() ? first : windowStart;
}
