// The percentile rank over activity logs edited by hand: absurd lengths, dates to come, lines
// that are no log lines at all, and a log of many years.

#include "activity_log.h"
#include "debug_log.h"
#include "fake_clock.h"
#include "percentile_rank.h"
#include "scripted_ui.h"
#include "settings.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

// Thursday 10.12.2026, 11:00.
const QDate mon(2026, 12, 7), tue(2026, 12, 8), wed(2026, 12, 9), thu(2026, 12, 10);

QString finished(QDate day, int hour, const QString& minutes) {
    return ActivityLog::dayStamp(day) + u' ' + QTime(hour, 0).toString(u"hh:mm"_s) + u'|' + minutes +
           u" Bericht [x]"_s;
}

int rankOf(const QStringList& lines, int evaluateLastXDays = -1) {
    FakeClock clock(QDateTime(thu, QTime(11, 0)));
    Settings settings;
    settings.showPercentileRanking = true;
    settings.evaluateLastXDays = evaluateLastXDays;
    DebugLog debug(clock);
    ScriptedUi ui;
    ActivityLog log(clock, settings, debug, ui);
    log.setLines(QStringList{QString()} + lines);
    PercentileRank percentile(clock, settings, log);
    percentile.UpdatePercentile();
    return percentile.rank();
}

TEST(PercentileRankHandEdited, AbsurdLinesGiveASaneRank) {
    const QString huge = QString::number(std::numeric_limits<int>::max());
    const QStringList today50 = {finished(thu, 9, u"25"_s), finished(thu, 10, u"25"_s)};
    struct Case {
        const char* name;
        QStringList lines;
        int rank;
    };
    const QList<Case> cases = {
        // Sums beyond the range of an int must not wrap round to a small or negative total.
        {"an earlier day of two endless units is better",
         QStringList{finished(mon, 9, huge), finished(mon, 10, huge)} + today50, 75},
        {"today's two endless units beat every day",
         {finished(mon, 9, u"900"_s), finished(thu, 9, huge), finished(thu, 10, huge)},
         100},
        {"lengths that are no numbers, or too long for one, count nothing",
         QStringList{finished(mon, 9, u"x5"_s), finished(tue, 9, u"99999999999999999999"_s),
                     finished(wed, 9, u"-"_s)} +
             today50,
         100},
        {"lengths below 0 take nothing off a day",
         QStringList{finished(mon, 9, u"-500"_s), finished(thu, 8, u"-50"_s)} + today50, 100},
        {"torn and empty lines are passed over",
         QStringList{u"Mo, 07.12.2026 09:0"_s, u" [x]"_s, u"|"_s, QString(u'\0'),
                     u"Mo, 07.12.2026 25:00|90 A [x]"_s, finished(mon, 9, u"90"_s)} +
             today50,
         75},
        // A date still to come at the top of the log is no start of the history: the window
        // begins at the first day that has been.
        {"a first line dated in the future",
         QStringList{finished(QDate(2099, 1, 1), 9, u"25"_s), finished(mon, 9, u"90"_s)} + today50, 75},
        {"a later line dated in the future is never better",
         QStringList{finished(mon, 9, u"10"_s), finished(QDate(2027, 1, 4), 9, u"900"_s)} + today50, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(rankOf(c.lines), c.rank);
        EXPECT_EQ(rankOf(c.lines, 100), c.rank);
    }
}

TEST(PercentileRankHandEdited, TwentyYearsOfUnitsAreRankedQuickly) {
    QStringList lines;
    for (QDate day = thu.addYears(-20); day < thu; day = day.addDays(1)) {
        for (int hour = 8; hour < 16; ++hour)
            lines.append(finished(day, hour, u"25"_s));
    }
    lines += {finished(thu, 9, u"25"_s), finished(thu, 10, u"25"_s)};
    QElapsedTimer elapsed;
    elapsed.start();
    // Every earlier workday had 100 minutes by 11:00 (the 11:00 unit counts): today is the worst.
    EXPECT_EQ(rankOf(lines), 0);
    // Once a minute on the user-interface thread: well below a second even in a checked build.
    EXPECT_LT(elapsed.elapsed(), 1000);
}

} // namespace
