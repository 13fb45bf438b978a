#include "activity_log.h"
#include "debug_log.h"
#include "fake_clock.h"
#include "percentile_rank.h"
#include "scripted_ui.h"
#include "settings.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace Qt::StringLiterals;

// Thursday 10.12.2026, 11:00: the week began on Monday 07.12, Sunday 06.12 lies before it.
const QDate mon(2026, 12, 7), tue(2026, 12, 8), wed(2026, 12, 9), thu(2026, 12, 10);
const QDate prevWed(2026, 12, 2), prevSat(2026, 12, 5), sun(2026, 12, 6), nov30(2026, 11, 30);
// Around the clock changes of 2026.
const QDate mar18(2026, 3, 18), mar26(2026, 3, 26), mar29(2026, 3, 29), mar30(2026, 3, 30), apr1(2026, 4, 1);
const QDate oct14(2026, 10, 14), oct22(2026, 10, 22), oct25(2026, 10, 25), oct26(2026, 10, 26),
    oct28(2026, 10, 28);

QString finished(QDate day, QTime at, int minutes) {
    return ActivityLog::unitLine(QDateTime(day, at, Qt::UTC), minutes, QStringLiteral("Bericht")).mid(2) +
           ActivityLog::finishMark();
}
QString finished(QDate day, int hour, int minutes) {
    return finished(day, QTime(hour, 0), minutes);
}
QString oldLayout(QDate day, int hour) {
    return ActivityLog::stamp(QDateTime(day, QTime(hour, 0), Qt::UTC)) + QStringLiteral(" Bericht [x]");
}

// Fifty minutes by 11:00 today: the rank is taken against this in most rows. Built when asked
// for, as the log's weekday names are not there yet while this file's constants are made.
QStringList today50() {
    return {finished(thu, 9, 25), finished(thu, 10, 25)};
}
QStringList withToday(const QStringList& earlier) {
    return earlier + today50();
}

// A second call after the first, with the clock moved and lines added.
struct Then {
    int advanceSecs;
    QStringList addedLines;
    int rank;
};

struct RankCase {
    const char* name;
    QStringList lines; // after the empty first line every log file begins with
    int evaluateLastXDays;
    int rank;
    QDateTime now = QDateTime(thu, QTime(11, 0));
    std::optional<Then> then = {};
    bool show = true;
};

// The rank at a time of day over a log (after the empty first line every log file begins with).
struct Ranking {
    Ranking(const QDateTime& now, int evaluateLastXDays, bool show = true) : clock(now) {
        settings.showPercentileRanking = show;
        settings.evaluateLastXDays = evaluateLastXDays;
        settings.StandardDauerEinheit = 30;
    }
    int rank(const QStringList& lines) {
        log.setLines(QStringList{QString()} + lines);
        percentile.UpdatePercentile();
        return percentile.rank();
    }
    FakeClock clock;
    Settings settings;
    DebugLog debug{clock};
    ScriptedUi ui;
    ActivityLog log{clock, settings, debug, ui};
    PercentileRank percentile{clock, settings, log};
};

// Hand-edited logs give a length as the text the line holds.
QString finished(QDate day, int hour, const QString& minutes) {
    return ActivityLog::dayStamp(day) + u' ' + QTime(hour, 0).toString(u"hh:mm"_s) + u'|' + minutes +
           u" Bericht [x]"_s;
}

TEST(PercentileRank, RanksTodayAgainstEarlierWorkdays) {
    const QString huge = QString::number(std::numeric_limits<int>::max());
    const QDateTime at11(thu, QTime(11, 0));
    const QStringList workedExample =
        QStringList{finished(mon, 8, 25), finished(mon, 9, 50), finished(tue, 10, 25)} + today50();
    const QList<RankCase> cases = {
        {"no unit finished today: 0 whatever the history", {finished(mon, 9, 200)}, -1, 0},
        {"75, 25 and 0 minutes on three days before today's 50", workedExample, -1, 75},
        {"the same from a 100-day window that begins before the log", workedExample, 100, 75},
        {"a unit begun after the time of day is not counted",
         withToday({finished(mon, 8, 75), finished(tue, 9, 25), finished(tue, QTime(11, 30), 60),
                    finished(wed, 9, 10)}),
         -1, 75},
        {"a unit begun at the very time of day is counted",
         withToday({finished(mon, 8, 75), finished(tue, 9, 25), finished(tue, 11, 60)}), -1, 50},
        {"a Sunday is neither better nor a workday",
         withToday({finished(sun, 9, 200), finished(mon, 9, 75), finished(tue, 9, 25)}), -1, 75},
        {"a 100-day window over a log begun 10 days ago counts its 10 workdays and today",
         withToday({finished(nov30, 9, 100), finished(prevWed, 9, 30)}), 100, 90},
        {"a 3-day window keeps the first day's early units, not the day before",
         withToday({finished(prevSat, 9, 100), finished(mon, 9, 75), finished(tue, 9, 25)}), 3, 75},
        {"an unreadable first line is passed over for the first log date",
         QStringList{QStringLiteral("Kopfzeile ohne Datum [x]"), finished(mon, 9, 75)} + today50(), -1, 75},
        {"old unit lines count 25 minutes, not the set unit length",
         withToday({oldLayout(wed, 8), oldLayout(wed, 9)}), -1, 100},
        {"a day met in two stretches of the log is judged by its whole total",
         withToday({finished(mon, 8, 30), finished(tue, 9, 10), finished(mon, 10, 30)}), -1, 75},
        // A merged log: Saturday's three stretches are one better day, not three.
        {"interleaved days count once each",
         {finished(prevSat, 8, 99), finished(mon, 8, 1), finished(prevSat, 9, 99), finished(mon, 9, 1),
          finished(prevSat, 10, 99)},
         -1,
         50,
         QDateTime(mon, QTime(18, 30))},
        {"open units, targets and re-planning lines do not count",
         QStringList{
             ActivityLog::targetLine(mon, 900).mid(2), finished(mon, 8, 900).chopped(4),
             ActivityLog::replanLine(QDateTime(mon, QTime(9, 0), Qt::UTC), QStringLiteral("x [x]")).mid(2),
             finished(tue, 9, 10)} +
             today50(),
         -1, 100},
        {"halves round to the even neighbour: 5 of 8 is 62",
         withToday({finished(prevWed, 9, 60), finished(mon, 9, 60), finished(wed, 9, 60)}), -1, 62},
        {"while the setting is off the rank keeps its value", workedExample, -1, 0, at11, Then{10, {}, 0},
         false},
        {"within 3 seconds a second call keeps the rank", workedExample, -1, 75, at11,
         Then{2, {finished(thu, QTime(10, 30), 25)}, 75}},
        {"after 3 seconds the rank is computed again", workedExample, -1, 75, at11,
         Then{3, {finished(thu, QTime(10, 30), 25)}, 100}},
        {"a clock set back does not hold the rank", workedExample, -1, 75, at11,
         Then{-3600, {finished(thu, QTime(9, 30), 25)}, 100}},
        // The clock changes on a Sunday; the window's days still end with today at now's time
        // of day (CTest runs this under Europe/Berlin). Each log begins with a long day that
        // lies before the window.
        {"spring: seven workdays from 25.03 11:00 to today 11:00, one better",
         {finished(mar18, 9, 200), finished(mar26, 9, 75), finished(mar29, 10, 200), finished(mar30, 9, 25),
          finished(apr1, 9, 25), finished(apr1, 10, 25)},
         7,
         86,
         QDateTime(apr1, QTime(11, 0))},
        {"spring: from the first log day, six workdays",
         {finished(mar26, 9, 75), finished(mar29, 10, 200), finished(mar30, 9, 25), finished(apr1, 9, 25),
          finished(apr1, 10, 25)},
         -1,
         83,
         QDateTime(apr1, QTime(11, 0))},
        {"autumn: the repeated hour on the Sunday counts for nothing",
         {finished(oct14, 9, 200), finished(oct22, 9, 75), finished(oct25, QTime(2, 30), 200),
          finished(oct26, 9, 25), finished(oct28, 9, 25), finished(oct28, 10, 25)},
         7,
         86,
         QDateTime(oct28, QTime(11, 0))},
        // Logs edited by hand. Sums beyond the range of an int must not wrap round to a small or
        // negative total.
        {"an earlier day of two endless units is better",
         withToday({finished(mon, 9, huge), finished(mon, 10, huge)}), -1, 75},
        {"today's two endless units beat every day",
         {finished(mon, 9, u"900"_s), finished(thu, 9, huge), finished(thu, 10, huge)},
         -1,
         100},
        {"lengths that are no numbers, or too long for one, count nothing",
         withToday({finished(mon, 9, u"x5"_s), finished(tue, 9, u"99999999999999999999"_s),
                    finished(wed, 9, u"-"_s)}),
         -1, 100},
        {"lengths below 0 take nothing off a day",
         withToday({finished(mon, 9, u"-500"_s), finished(thu, 8, u"-50"_s)}), -1, 100},
        {"torn and empty lines are passed over",
         withToday({u"Mo, 07.12.2026 09:0"_s, u" [x]"_s, u"|"_s, QString(u'\0'),
                    u"Mo, 07.12.2026 25:00|90 A [x]"_s, finished(mon, 9, u"90"_s)}),
         -1, 75},
        // The window begins at the first day that has been.
        {"a first line dated in the future",
         withToday({finished(QDate(2099, 1, 1), 9, u"25"_s), finished(mon, 9, u"90"_s)}), -1, 75},
        {"a later line dated in the future is never better",
         withToday({finished(mon, 9, u"10"_s), finished(QDate(2027, 1, 4), 9, u"900"_s)}), -1, 100},
    };
    for (const RankCase& c : cases) {
        SCOPED_TRACE(c.name);
        Ranking r(c.now, c.evaluateLastXDays, c.show);
        EXPECT_EQ(r.rank(c.lines), c.rank);
        if (c.then) {
            r.clock.advanceSecs(c.then->advanceSecs);
            EXPECT_EQ(r.rank(c.lines + c.then->addedLines), c.then->rank);
        }
    }
}

TEST(PercentileRank, TwentyYearsOfUnitsAreRankedQuickly) {
    QStringList lines;
    for (QDate day = thu.addYears(-20); day < thu; day = day.addDays(1)) {
        for (int hour = 8; hour < 16; ++hour)
            lines.append(finished(day, hour, u"25"_s));
    }
    lines += {finished(thu, 9, u"25"_s), finished(thu, 10, u"25"_s)};
    QElapsedTimer elapsed;
    elapsed.start();
    // Every earlier workday had 100 minutes by 11:00 (the 11:00 unit counts): today is the worst.
    EXPECT_EQ(Ranking(QDateTime(thu, QTime(11, 0)), -1).rank(lines), 0);
    // Once a minute on the user-interface thread: well below a second even in a checked build.
    EXPECT_LT(elapsed.elapsed(), 1000);
}

} // namespace
