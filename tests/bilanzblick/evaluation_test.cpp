// The statistics of Bilanzblick over small prepared logs. Dates: 01.12.2025 is a Monday.
#include "activity_log.h"
#include "evaluation.h"
#include "log_days.h"
#include "log_source.h"
#include "qt_print.h"
#include "text_file.h"
#include "unprivileged_child.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

using namespace evaluation;

using namespace Qt::StringLiterals;

namespace {

QDate d(int day, int month = 12, int year = 2025) {
    return QDate(year, month, day);
}

// "Mo, 01.12.2025 09:00|25 Title [x]" and friends, with the weekday the writers put there.
QString unit(QDate day, const char* time, int minutes, const char* title, bool done = true) {
    return ActivityLog::stamp(QDateTime(day, QTime::fromString(QString::fromLatin1(time), u"HH:mm"_s))) +
           QLatin1Char('|') + QString::number(minutes) + QLatin1Char(' ') + QString::fromUtf8(title) +
           (done ? u" [x]"_s : QString());
}
QString target(QDate day, int n) {
    return ActivityLog::targetLine(day, n).mid(2);
}
QString replan(QDate day, const char* time, const char* reason = nullptr) {
    const QDateTime at(day, QTime::fromString(QString::fromLatin1(time), u"HH:mm"_s));
    return (reason ? ActivityLog::replanLine(at, QString::fromUtf8(reason)) : ActivityLog::replanLine(at))
        .mid(2);
}
// n finished 25-minute units from 08:00 on.
QStringList units(QDate day, int n) {
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << unit(day, qPrintable(QTime(8, 0).addSecs(i * 1800).toString(u"HH:mm"_s)), 25, "Arbeit");
    return lines;
}

LogDays read(const QStringList& lines, QDate today = d(31, 12, 2030), int oldUnitMinutes = 25) {
    return LogDays::fromLines(QStringList{QString()} + lines, oldUnitMinutes, today);
}

} // namespace

TEST(LogLineTest, KindsAndFields) {
    using K = LogLine::Kind;
    struct Case {
        const char* line;
        K kind;
        int minutes;
        bool finished;
        const char* title;
        const char* reason;
    };
    const Case cases[] = {
        {"Fr, 05.12.2025 09:00|25 Bericht schreiben [x]", K::Unit, 25, true, "Bericht schreiben", ""},
        {"Fr, 05.12.2025 09:00|50 Bericht", K::Unit, 50, false, "Bericht", ""},
        {"Fr, 05.12.2025 09:00 Altes Format [x]", K::OldUnit, 30, true, "Altes Format", ""},
        {"Fr, 05.12.2025 SOLL: 8", K::Target, 0, false, "", ""},
        {"Fr, 05.12.2025 11:00 --- NEU GEPLANT ---", K::Replan, 0, false, "", ""},
        {"Fr, 05.12.2025 11:00 --- NEU GEPLANT --- Grund:  Anruf vom Chef ", K::Replan, 0, false, "",
         "Anruf vom Chef"},
        {"", K::Empty, 0, false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const LogLine line = ActivityLog::parseLine(QString::fromUtf8(c.line), 30);
        EXPECT_EQ(line.kind, c.kind);
        if (line.isUnit() || line.kind == K::Replan) {
            EXPECT_EQ(std::tuple(line.date, line.minutes, line.finished, line.title, line.reason),
                      std::tuple(d(5), c.minutes, c.finished, QString::fromUtf8(c.title),
                                 QString::fromUtf8(c.reason)));
        }
    }
    EXPECT_EQ(ActivityLog::parseLine(u"Fr, 05.12.2025 SOLL: 8", 25).target, 8);
    for (const char* line : {"Fr, 5.12.2025 09:00|25 kaputt", "Fr, 32.12.2025 09:00|25 kaputt",
                             "Fr, 05.12.2025 9:00|25 kaputt", "Fr, 05.12.2025 09:00|xx kaputt",
                             "Fr, 05.12.2025 SOLL: viel", "Fr, 05.12.2025 09:0", "irgendein Text"})
        EXPECT_EQ(ActivityLog::parseLine(QString::fromUtf8(line), 30).kind, K::Unreadable) << line;
}

TEST(LogDaysTest, DayFiguresAndSkippedLines) {
    const QStringList lines = {
        unit(d(1), "08:00", 25, "A"),
        unit(d(1), "08:30", 50, "B", false),
        u"Mo, 01.12.2025 09:30 Alt [x]"_s,
        u"Mo, 01.12.2025 10:30 Alt offen"_s,
        target(d(1), 6),
        target(d(1), 2),
        replan(d(1), "11:00"),
        u"Mo, 01.13.2025 09:00|25 kein Datum [x]"_s,
        u"Unsinn"_s,
        unit(d(2), "08:00", 25, "letzte Zeile eines frueheren Tages", false),
    };
    const LogDays log = read(lines, d(3), 30);
    EXPECT_EQ(log.skippedLines(), 2);
    struct Case {
        QDate day;
        int done, minutes, failed, target, replans;
    };
    const Case cases[] = {
        {d(1), 2, 55, 2, 2, 1},
        // The log's last line is open but of an earlier day: that unit failed.
        {d(2), 0, 0, 1, DayRecord::noTarget, 0},
        {d(3), 0, 0, 0, DayRecord::noTarget, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.day.toString()));
        const DayRecord day = log.day(c.day);
        EXPECT_EQ(
            std::tuple(day.unitsDone(), day.minutesDone(), day.unitsFailed(), day.target, day.replans.size()),
            std::tuple(c.done, qint64(c.minutes), c.failed, c.target, qsizetype(c.replans)));
    }
    // Today's open last line may still be running: not failed. An open line before it is.
    const LogDays today =
        read({unit(d(3), "08:00", 25, "A", false), unit(d(3), "09:00", 25, "B", false), QString()}, d(3));
    EXPECT_EQ(today.day(d(3)).unitsFailed(), 1);
    EXPECT_TRUE(today.day(d(3)).units.last().running);
    // Reading is reported in per cent up to 100 and stops when the caller says so.
    QList<int> reported;
    const QStringList many = units(d(1), 40) + units(d(2), 40);
    EXPECT_EQ(LogDays::fromLines(many, 25, d(3), [&](int p) { return reported.append(p), true; })
                  .day(d(2))
                  .unitsDone(),
              40);
    EXPECT_EQ(reported.last(), 100);
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_TRUE(LogDays::fromLines(many, 25, d(3), [](int p) { return p < 50; }).day(d(2)).units.size() < 40);
}

TEST(StreakTest, SundaysMonthEndsAndToday) {
    struct Case {
        const char* name;
        QStringList lines;
        QDate today;
        int current, longest;
    };
    const Case cases[] = {
        {"a week Mon-Sat, Sunday empty, Monday met",
         units(d(1), 1) + units(d(2), 1) + units(d(3), 1) + units(d(4), 1) + units(d(5), 1) + units(d(6), 1) +
             units(d(8), 1),
         d(8), 7, 7},
        {"over the month end and a Sunday",
         units(d(28, 11), 1) + units(d(29, 11), 1) + units(d(1), 1) + units(d(2), 1), d(2), 4, 4},
        {"a Sunday with units adds to the streak", units(d(6), 1) + units(d(7), 1) + units(d(8), 1), d(8), 3,
         3},
        {"a missed target breaks it, a missed Saturday too",
         units(d(1), 1) + units(d(2), 1) + units(d(3), 1) + QStringList{target(d(4), 3)} + units(d(4), 2) +
             units(d(5), 3) + QStringList{target(d(5), 3)},
         d(5), 1, 3},
        {"today not yet met keeps yesterday's streak",
         QStringList{target(d(2), 2)} + units(d(2), 2) + QStringList{target(d(3), 2)} + units(d(3), 1), d(3),
         1, 1},
        {"today met counts", units(d(2), 1) + units(d(3), 1), d(3), 2, 2},
        {"a weekday without units breaks it", units(d(1), 1) + units(d(3), 1), d(4), 1, 1},
        {"a streak long gone is only the longest", units(d(1), 1) + units(d(2), 1) + units(d(10), 1), d(12),
         0, 2},
        {"a day later than today: today between does not break it", units(d(1), 1) + units(d(3), 1), d(2), 1,
         2},
        {"hand-typed years far away stand alone",
         units(QDate(1, 1, 1), 1) + units(d(1), 1) + units(d(2), 1) + units(QDate(9999, 12, 31), 1), d(2), 2,
         2},
        {"empty log", {}, d(3), 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Streaks s = streaks(read(c.lines, c.today), c.today);
        EXPECT_EQ(std::pair(s.current, s.longest), std::pair(c.current, c.longest));
    }
}

TEST(SummaryTest, PeriodsAndTargets) {
    const QStringList lines = QStringList{target(d(1), 2)} + units(d(1), 2) + QStringList{target(d(2), 3)} +
                              units(d(2), 1) + QStringList{unit(d(3), "10:00", 50, "X", false)} +
                              units(d(8), 4);
    const LogDays log = read(lines);
    const PeriodSummary week = summarize(log, weekStart(d(3)), weekStart(d(3)).addDays(6));
    EXPECT_EQ(weekStart(d(3)), d(1));
    EXPECT_EQ(std::tuple(week.unitsDone, week.minutesDone, week.unitsFailed, week.targetSum,
                         week.daysTargetMet, week.targetMet()),
              std::tuple(3, 75, 1, 5, 1, false));
    EXPECT_EQ(summarize(log, monthStart(d(8)), d(31)).unitsDone, 7);
    EXPECT_TRUE(summarize(log, d(1), d(1)).targetMet());
}

TEST(FailureTest, RatesByHourWeekdayLengthAndTitles) {
    const QStringList lines = {
        unit(d(1), "09:10", 25, "Steuer", false), unit(d(1), "09:40", 25, "Steuer", false),
        unit(d(1), "10:00", 50, "Bericht"),       unit(d(2), "09:00", 25, "Steuer", false),
        unit(d(2), "09:30", 25, "Mails", false),  unit(d(3), "14:00", 25, "Mails", false),
        unit(d(8), "09:00", 25, "Steuer", false), unit(d(8), "09:30", 25, "Mails"),
    };
    const FailureStats s = failures(read(lines), d(1), d(31));
    EXPECT_EQ(std::tuple(s.byWeekdayHour[0][9].total, s.byWeekdayHour[0][9].done, s.byWeekdayHour[0][10].done,
                         s.byWeekdayHour[2][14].total, s.byLength.value(25).total, s.byLength.value(25).done),
              std::tuple(4, 1, 1, 1, 7, 1));
    EXPECT_DOUBLE_EQ(s.byLength.value(50).share(), 1.0);
    // Steuer: unfinished on 01., 02. and 08. (twice on the 1st counts as one day); Mails on two.
    ASSERT_EQ(s.unfinishedTitles.size(), 1);
    EXPECT_EQ(std::pair(s.unfinishedTitles[0].title, s.unfinishedTitles[0].days), std::pair(u"Steuer"_s, 3));
    EXPECT_TRUE(failures(read(lines), d(2), d(31)).unfinishedTitles.isEmpty());
}

TEST(ReplanTest, ReasonsGroupedAndTargetRates) {
    const QStringList lines =
        QStringList{target(d(1), 1), replan(d(1), "10:00", "Meeting"), replan(d(1), "12:00", "  meeting "),
                    replan(d(2), "10:00")} +
        units(d(1), 1) + QStringList{target(d(2), 2), target(d(8), 1)} + units(d(8), 1) +
        QStringList{replan(d(8), "09:00", "MEETING"), target(d(9), 1), replan(d(1), "16:00", "Anruf"),
                    replan(d(2, 1, 2026), "16:00", "Anruf")};
    const ReplanStats s = replans(read(lines), d(1), d(31, 1, 2026));
    ASSERT_EQ(s.reasons.size(), 3);
    const auto& meeting = s.reasons[0];
    EXPECT_EQ(std::tuple(meeting.text, meeting.total, meeting.perWeek.value(u"2025-W49"_s),
                         meeting.perWeek.value(u"2025-W50"_s), meeting.perMonth.value(u"2025-12"_s)),
              std::tuple(u"Meeting"_s, 3, 2, 1, 3));
    EXPECT_EQ(std::pair(s.reasons[1].text, s.reasons[1].perMonth.size()),
              std::pair(u"Anruf"_s, qsizetype(2)));
    EXPECT_EQ(s.reasons[2].text, QString()); // re-planned without a reason
    // With re-plannings: 01. met, 02. missed, 08. met; without: 09. missed.
    EXPECT_EQ(std::tuple(s.targetWithReplans.total, s.targetWithReplans.done, s.targetWithoutReplans.total,
                         s.targetWithoutReplans.done),
              std::tuple(3, 2, 1, 0));
    EXPECT_EQ(weekKey(d(29, 12)), u"2026-W01"_s);
}

TEST(NormalBandTest, PercentilesOfTheWeekdayCurves) {
    // Mondays before 29.12.: 22.12. 0 minutes (a logged day without units), 15.12. 25, 08.12. 50,
    // 01.12. 100 by noon; 24.11. lies before the log's first day and is not part of the band.
    const QStringList lines = QStringList{target(d(22), 1)} + units(d(15), 1) + units(d(8), 2) +
                              units(d(1), 4) + units(d(29), 8) + units(d(23), 8);
    const NormalBand band = normalBand(read(lines), Qt::Monday, d(29), 8, 60);
    ASSERT_EQ(band.days, (QList<QDate>{d(22), d(15), d(8), d(1)}));
    ASSERT_EQ(band.median.size(), 25);
    EXPECT_EQ(std::tuple(band.p25[12], band.median[12], band.p75[12], band.median[8]),
              std::tuple(18.75, 37.5, 62.5, 0.0)); // exact in binary
    EXPECT_EQ(normalBand(read(lines), Qt::Monday, d(29), 2, 60).days, (QList<QDate>{d(22), d(15)}));
    // A unit counts while it runs: 08:00-08:25 and 08:30-08:55 give 25 at 08:30 and 40 at 08:40.
    const QVector<double> curve = cumulativeCurve(read(units(d(8), 2)).day(d(8)), 10);
    EXPECT_DOUBLE_EQ(curve[51], 25.0);
    EXPECT_DOUBLE_EQ(curve[52], 35.0);
    EXPECT_DOUBLE_EQ(curve.last(), 50.0);
}

TEST(CalibrationTest, SuggestedTargetFromTheLastTwentyDays) {
    struct Case {
        const char* name;
        QList<int> done; // one day each with target 4, oldest first
        std::optional<int> suggested;
        int basis, met; // days the suggestion rests on; days target 4 was met, all of them
    };
    const Case cases[] = {
        {"two thirds of six days", {2, 3, 4, 4, 5, 5}, 4, 6, 4},
        {"three days", {1, 9, 9}, 9, 3, 2},
        {"one day", {3}, 3, 1, 0},
        {"only the last twenty count",
         {9, 9, 9, 9, 9, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2},
         1,
         20,
         5},
        {"no day with a target", {}, std::nullopt, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList lines;
        QDate day = d(1, 1, 2025);
        for (int n : c.done) {
            lines << target(day, 4) << units(day, n);
            day = day.addDays(1);
        }
        // Today's target, with nothing done yet, is no evidence.
        lines << target(day, 12);
        const Calibration cal = calibrate(read(lines), day);
        EXPECT_EQ(
            std::tuple(cal.suggested, cal.basisDays, cal.byTarget.value(4).done, cal.byTarget.contains(12)),
            std::tuple(c.suggested, c.basis, c.met, false));
    }
}

TEST(TitleTest, TotalsLargestFirst) {
    const QStringList lines = {unit(d(1), "08:00", 25, "A"), unit(d(1), "09:00", 50, "B"),
                               unit(d(2), "08:00", 25, "A"), unit(d(2), "09:00", 25, "A", false),
                               unit(d(2), "10:00", 10, "C"), unit(d(20), "10:00", 99, "D")};
    const QList<TitleTotal> t = titleTotals(read(lines), d(1), d(19));
    ASSERT_EQ(t.size(), 3);
    // 50 minutes in two units beats 50 in one.
    EXPECT_EQ(std::tuple(t[0].title, t[0].units, t[1].title, t[2].minutes),
              std::tuple(u"A"_s, 2, u"B"_s, 10));
}

TEST(DaylightSavingTest, WallClockDaysStayWhole) {
    // 29.03.2026: 02:00 does not exist in Berlin; 25.10.2026: 02:30 happens twice.
    const QStringList lines = {
        unit(d(29, 3, 2026), "02:30", 25, "Nacht"), unit(d(29, 3, 2026), "03:00", 25, "X"),
        unit(d(25, 10, 2026), "02:30", 25, "Y"), unit(d(25, 10, 2026), "02:30", 25, "Y")};
    const LogDays log = read(lines);
    EXPECT_EQ(log.day(d(29, 3, 2026)).minutesDone(), 50);
    EXPECT_EQ(log.day(d(25, 10, 2026)).unitsDone(), 2);
    const QVector<double> spring = cumulativeCurve(log.day(d(29, 3, 2026)), 30);
    EXPECT_DOUBLE_EQ(spring[6], 25.0); // 03:00
    EXPECT_DOUBLE_EQ(spring[7], 50.0); // 03:30
}

TEST(LogDaysTest, AbsurdValuesNeitherOverflowNorCount) {
    const QString big = QString::number(std::numeric_limits<int>::max());
    const QString least = QString::number(std::numeric_limits<int>::min());
    const QStringList lines = {
        u"Fr, 05.12.2025 09:00|"_s + big + u" Riesig [x]"_s,
        u"Fr, 05.12.2025 10:00|"_s + big + u" Riesig [x]"_s,
        u"Fr, 05.12.2025 11:00|-5 Negativ [x]"_s,
        u"Fr, 05.12.2025 12:00|"_s + least + u" Negativ [x]"_s,
        u"Fr, 05.12.2025 SOLL: "_s + big,
        u"Sa, 06.12.2025 SOLL: "_s + big,
        u"Sa, 06.12.2025 SOLL: -3"_s,
        u"Fr, 05.12.2025 25:99|25 Keine Zeit [x]"_s,
    };
    const LogDays log = read(lines);
    EXPECT_EQ(log.skippedLines(), 4);
    EXPECT_EQ(log.day(d(5)).unitsDone(), 2);
    EXPECT_EQ(log.day(d(5)).minutesDone(), 2 * qint64(std::numeric_limits<int>::max()));
    EXPECT_EQ(log.day(d(6)).target, std::numeric_limits<int>::max());
    const PeriodSummary s = summarize(log, d(1), d(31));
    EXPECT_EQ(s.targetSum, 2 * qint64(std::numeric_limits<int>::max()));
    EXPECT_EQ(titleTotals(log, d(1), d(31)).value(0).minutes, s.minutesDone);
}

TEST(LogSourceTest, ReadInPiecesAsTheWholeFileIsSplit) {
    // Line ends of every kind, one falling across the reader's 1 MiB pieces, a line nearly as long
    // as a piece, one past the bound (skipped as an unreadable line is: "?" in the whole file the
    // reader is compared with), a byte-order mark, Windows-1252 beside UTF-8, NUL bytes and binary
    // rubbish.
    QByteArray bytes = "\xEF\xBB\xBF\r\nFr, 05.12.2025 09:00|25 Erste [x]\rFr, 05.12.2025 SOLL: 3\n"
                       "Fr, 05.12.2025 09:30|25 M\xFC"
                       "de [x]\r\nFr, 05.12.2025 10:00|25 M\xC3\xBC"
                       "de [x]\r\n\x00\x01\xFF\xFE\r\n";
    bytes += "Fr, 05.12.2025 10:30|25 Nul";
    bytes += '\0';
    bytes += " [x]\r\nFr, 05.12.2025 11:00|25 lang ";
    bytes += QByteArray((1 << 20) - 100, 'x');
    bytes += " [x]\r\n";
    const QByteArray overlong =
        "Fr, 05.12.2025 11:30|25 " + QByteArray(ActivityLog::maxLineBytes, 'x') + " [x]";
    // The CR after it ends the third piece, its LF begins the fourth.
    bytes += QByteArray((3 << 20) - 1 - overlong.size() - bytes.size() - 2, 'q') + "\r\n";
    const qsizetype overlongAt = bytes.size();
    bytes += overlong + "\r\n";
    // The line before the tail ends exactly at the end of the fourth piece: its CR is the last
    // byte of one piece, what follows it the first byte of the next.
    for (const char* tail : {"\r\nSa, 06.12.2025 09:30|25 offen", "\rSa, 06.12.2025 09:30|25 offen"}) {
        SCOPED_TRACE(tail[1] == '\n' ? "CR LF" : "CR");
        const QByteArray line = "\r\nSa, 06.12.2025 09:00|25 Grenze [x]";
        QByteArray sample = bytes + QByteArray((4 << 20) - bytes.size() - line.size(), 'p') + line;
        ASSERT_EQ(sample.size(), 4 << 20);
        sample += tail;
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Dezuzedu.log"_s);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(sample);
        file.close();
        const logsource::Loaded loaded = logsource::load(logsource::Location{path, 25}, d(6));
        ASSERT_TRUE(loaded.ok);
        QStringList lines =
            textfile::splitLines(QByteArray(sample).replace(overlongAt, overlong.size(), "?"));
        const LogDays whole = LogDays::fromLines(lines, 25, d(6));
        // The program's own reader of the log cuts and skips the same way.
        lines.removeOne(u"?"_s);
        const textfile::ReadResult read = textfile::readLines(path, ActivityLog::maxLineBytes);
        EXPECT_EQ(read.lines, lines);
        EXPECT_EQ(read.skippedLines, 1);
        EXPECT_EQ(loaded.days.skippedLines(), whole.skippedLines());
        EXPECT_EQ(exportDays(loaded.days, d(5), d(6), ExportFormat::Json),
                  exportDays(whole, d(5), d(6), ExportFormat::Json));
        ASSERT_EQ(loaded.days.day(d(6)).units.size(), 2);
        EXPECT_TRUE(loaded.days.day(d(6)).units.last().running);
    }
}

TEST(LogSourceTest, UnreadableFileIsNoEmptyLog) {
    if (const char* why = noPermissionBits())
        GTEST_SKIP() << why;
    // Without the right to read it the log is there but not read: no empty evaluation instead.
    QTemporaryDir dir;
    const QString path = dir.filePath(u"Dezuzedu.log"_s);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\r\nFr, 05.12.2025 09:00|25 Bericht [x]");
    file.close();
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner | QFileDevice::ExeOther));
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::Permissions()));
    QByteArray why;
    const int result = runUnprivileged(
        [&] {
            const logsource::Loaded loaded = logsource::load(logsource::Location{path, 25}, d(5));
            return loaded.exists && !loaded.ok && !loaded.error.isEmpty() && loaded.days.isEmpty() ? 0 : 1;
        },
        &why);
    if (result < 0)
        GTEST_SKIP() << why.constData();
    EXPECT_EQ(result, 0);
}

TEST(ChartRulesTest, RoundTicksLabelsHoursTargetStretchesAndExportRange) {
    const struct {
        double value, top, step;
    } scales[] = {{157, 200, 50}, {12, 12, 2}, {13, 15, 5},
                  {60, 60, 10},   {0, 1, 1},   {4294967294.0, 5e9, 1e9}};
    for (const auto& c : scales) {
        const AxisScale s = roundScale(c.value);
        EXPECT_EQ(std::pair(s.top, s.step), std::pair(c.top, c.step)) << c.value;
    }
    const struct {
        int bars, maxLabels;
        bool months;
        int step;
    } labels[] = {{14, 14, false, 1}, {31, 16, false, 2},  {53, 12, false, 5},   {7, 12, true, 1},
                  {30, 12, true, 3},  {120, 12, true, 12}, {1000, 10, true, 120}};
    for (const auto& c : labels)
        EXPECT_EQ(labelStep(c.bars, c.maxLabels, c.months), c.step) << c.bars << " bars, " << c.maxLabels;
    // 08:00-08:55 rises from the sample of 08:00 to that of 09:00: 07 to 10 h with the margin.
    const auto curve = [](const QStringList& lines, QDate day) {
        return cumulativeCurve(read(lines).day(day), 10);
    };
    const struct {
        const char* name;
        QList<QVector<double>> curves;
        int from, to;
    } hours[] = {
        {"two units in the morning", {curve(units(d(8), 2), d(8))}, 7, 10},
        {"late and early ones widen it to the day's ends",
         {curve({unit(d(8), "23:30", 25, "L")}, d(8)), curve({unit(d(9), "00:10", 25, "E")}, d(9))},
         0,
         24},
        {"an evening alone", {curve({unit(d(8), "19:20", 50, "L")}, d(8))}, 18, 22},
        {"nothing done: the whole day", {curve({}, d(8)), {}}, 0, 24},
    };
    for (const auto& c : hours) {
        const HourSpan span = activeHours(c.curves, 10);
        EXPECT_EQ(std::pair(span.from, span.to), std::pair(c.from, c.to)) << c.name;
    }
    using Runs = QList<std::pair<int, int>>;
    EXPECT_EQ(targetRuns({true, true, false, true, false, false}), (Runs{{0, 1}, {3, 3}}));
    EXPECT_EQ(targetRuns({false, false}), Runs());
    // The export of a range stops at today; a range wholly ahead ends before it begins.
    for (const auto& [from, to, end] : {std::tuple(d(1, 1), d(31), d(17)), std::tuple(d(1), d(7), d(7)),
                                        std::tuple(d(1, 1, 2026), d(31, 1, 2026), d(17))})
        EXPECT_EQ(exportRange(from, to, d(17)), std::pair(from, end));
}
