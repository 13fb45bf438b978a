#include "activity_log.h"
#include "case_table.h"
#include "debug_log.h"
#include "fake_clock.h"
#include "percentile_rank.h"
#include "scripted_ui.h"
#include "settings.h"

#include <QElapsedTimer>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

QString finished(QDate day, const QString& at, const QString& minutes) {
    return ActivityLog::dayStamp(day) + u' ' + at + u'|' + minutes + u" Bericht [x]"_s;
}

// The log lines of a row of engine_ranks.txt (its header explains them).
QStringList linesOf(const QString& field) {
    static const QRegularExpression unit(u"^(\\d\\d\\.\\d\\d\\.\\d{4}) (\\d\\d:\\d\\d) (\\S+)$"_s);
    QStringList lines;
    for (const QString& item : field.split(u" ; "_s, Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = unit.match(item);
        lines.append(item == u"<NUL>"_s ? QString(QChar(0))
                     : m.hasMatch()     ? finished(QDate::fromString(m.captured(1), u"dd.MM.yyyy"_s),
                                                   m.captured(2), m.captured(3))
                                        : item);
    }
    return lines;
}

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

TEST(PercentileRank, RanksTodayAgainstEarlierWorkdays) {
    for (const CaseRow& row : caseTable(QStringLiteral(TAKTPLAN_TEST_DATA_DIR "/engine_ranks.txt"))) {
        SCOPED_TRACE(row.where.toStdString());
        const bool on = row[1] != u"off"_s;
        Ranking r(QDateTime::fromString(row[0], u"dd.MM.yyyy hh:mm"_s), on ? row.number(1) : -1, on);
        const QStringList lines = linesOf(row[3]);
        EXPECT_EQ(r.rank(lines), row.number(2));
        if (!row[4].isEmpty()) {
            r.clock.advanceSecs(row.number(4));
            EXPECT_EQ(r.rank(lines + linesOf(row[5])), row.number(6));
        }
    }
}

TEST(PercentileRank, TwentyYearsOfUnitsAreRankedQuickly) {
    const QDate thu(2026, 12, 10);
    QStringList lines;
    for (QDate day = thu.addYears(-20); day < thu; day = day.addDays(1)) {
        for (int hour = 8; hour < 16; ++hour)
            lines.append(finished(day, QTime(hour, 0).toString(u"hh:mm"_s), u"25"_s));
    }
    lines += {finished(thu, u"09:00"_s, u"25"_s), finished(thu, u"10:00"_s, u"25"_s)};
    QElapsedTimer elapsed;
    elapsed.start();
    // Every earlier workday had 100 minutes by 11:00 (the 11:00 unit counts): today is the worst.
    EXPECT_EQ(Ranking(QDateTime(thu, QTime(11, 0)), -1).rank(lines), 0);
    // Once a minute on the user-interface thread: well below a second even in a checked build.
    EXPECT_LT(elapsed.elapsed(), 1000);
}

} // namespace
