#pragma once

#include "percentile.h"

#include <QDate>
#include <QDateTime>
#include <QStringList>

#include <optional>

class ActivityLog;
class Clock;
struct Settings;

// The computation itself works on the log's lines alone, so that it can be checked and timed
// without a clock or settings. Times are wall-clock times (see plantime).
namespace percentile {

// The share in per cent (0 to 100) of the Monday-to-Saturday days from startDate up to now on
// which no more unit minutes had been finished by now's time of day than todayMinutes. Days
// after now's are none of them: a hand-edited date still to come is never better.
int PercentileRank(const QStringList& lines, qint64 todayMinutes, const QDateTime& now,
                   const QDateTime& startDate);
// The date of the first line that carries one up to today; today when none does.
QDate FirstLogDate(const QStringList& lines, QDate today);

} // namespace percentile

// The rank shown in the Timer window and spoken at the end of a unit, read from the activity
// log's lines in memory.
class PercentileRank final : public PercentileSource {
public:
    PercentileRank(const Clock& clock, const Settings& settings, const ActivityLog& log);

    // Nothing while showPercentileRanking is off, and at most once in 3 seconds: the run engine
    // and the Planning window's timer may ask in quick succession.
    void UpdatePercentile() override;
    int rank() const override { return m_rank; }

    QDate FirstLogDate() const;
    // Minutes of today's finished units (a sum of hand-edited lengths may exceed an int).
    qint64 TodayMinutes() const;
    // The first moment of the evaluation window for now (evaluateLastXDays; -1: the whole log).
    QDateTime startDate(const QDateTime& now) const;

private:
    const Clock& m_clock;
    const Settings& m_settings;
    const ActivityLog& m_log;
    int m_rank = 0;
    std::optional<qint64> m_lastUnixSecs;
};
