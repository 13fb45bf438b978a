// The statistics of Bilanzblick over small prepared logs; the logs and most cases are in
// data/evaluation.txt. Dates: 01.12.2025 is a Monday.
#include "activity_log.h"
#include "case_table.h"
#include "evaluation.h"
#include "log_days.h"
#include "log_source.h"
#include "qt_print.h"
#include "temp_data_folder.h"
#include "text_file.h"
#include "unprivileged_child.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <limits>
#include <tuple>
#include <utility>

using namespace evaluation;

using namespace Qt::StringLiterals;

namespace {

const QString cases = QStringLiteral(BILANZBLICK_TEST_DATA "/evaluation.txt");

QDate d(int day, int month = 12, int year = 2025) {
    return QDate(year, month, day);
}
QDate date(const QString& text) {
    return QDate::fromString(text, u"dd.MM.yyyy"_s);
}

// The values as the tables write them, separated by blanks.
template <typename... T> QString figures(const T&... values) {
    return QStringList{QVariant::fromValue(values).toString()...}.join(u' ');
}

// n finished 25-minute units from 08:00 on, titled "Arbeit".
QStringList units(QDate day, int n) {
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines
            << ActivityLog::unitLine(QDateTime(day, QTime(8, 0).addSecs(i * 1800)), 25, u"Arbeit"_s).mid(2) +
                   ActivityLog::finishMark();
    return lines;
}

// The lines a "days" field of the table stands for.
QStringList days(const QString& written) {
    static const QRegularExpression token(u"^(\\d\\d\\.\\d\\d)(\\.\\d{4})?(?:x(\\d+))?(?:/(\\d+))?$"_s);
    QStringList lines;
    for (const QString& t : written.split(u' ', Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch m = token.match(t);
        EXPECT_TRUE(m.hasMatch()) << t.toStdString();
        const QDate day = date(m.captured(1) + (m.hasCaptured(2) ? m.captured(2) : u".2025"_s));
        if (m.hasCaptured(4))
            lines << ActivityLog::targetLine(day, m.captured(4).toInt()).mid(2);
        lines << units(day, m.hasCaptured(3) ? m.captured(3).toInt() : 1);
    }
    return lines;
}

// A section of the table whose rows are the lines of a log.
QStringList logLines(const QString& section) {
    QStringList lines;
    for (const CaseRow& row : caseTable(cases, u"log "_s + section))
        lines << row.fields.join(u" | "_s);
    return lines;
}

LogDays read(const QStringList& lines, QDate today = d(31, 12, 2030), int oldUnitMinutes = 25) {
    return LogDays::fromLines(QStringList{QString()} + lines, oldUnitMinutes, today);
}

} // namespace

TEST(LogLineTest, KindsAndFields) {
    const QStringList kinds = {u"Empty"_s,  u"Unit"_s,   u"OldUnit"_s,
                               u"Target"_s, u"Replan"_s, u"Unreadable"_s};
    for (const CaseRow& row : caseTable(cases, u"log lines"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        const LogLine line = ActivityLog::parseLine(row[0], 30);
        QString got = kinds.value(int(line.kind));
        if (line.isUnit())
            got += u' ' + figures(line.minutes, line.finished, line.title);
        else if (line.kind == LogLine::Kind::Target)
            got += u' ' + figures(line.target);
        else if (line.kind == LogLine::Kind::Replan && !line.reason.isEmpty())
            got += u' ' + line.reason;
        EXPECT_EQ(got, row[1]);
        if (got != u"Empty"_s && got != u"Unreadable"_s) {
            EXPECT_EQ(line.date, d(5));
        }
    }
}

TEST(LogDaysTest, DayFiguresAndSkippedLines) {
    const LogDays log = read(logLines(u"day figures"_s), d(3), 30);
    EXPECT_EQ(log.skippedLines(), 2);
    for (const CaseRow& row : caseTable(cases, u"day figures"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        const DayRecord day = log.day(date(row[0]));
        EXPECT_EQ(
            figures(day.unitsDone(), day.minutesDone(), day.unitsFailed(), day.target, day.replans.size()),
            row[1]);
    }
    // Today's open last line may still be running: not failed. An open line before it is.
    const LogDays today =
        read({u"Mi, 03.12.2025 08:00|25 A"_s, u"Mi, 03.12.2025 09:00|25 B"_s, QString()}, d(3));
    EXPECT_EQ(today.day(d(3)).unitsFailed(), 1);
    EXPECT_TRUE(today.day(d(3)).units.last().running);
    // Reading is reported in per cent up to 100 and stops when the caller says so.
    QList<int> reported;
    const QStringList many = units(d(1), 40) + units(d(2), 40);
    const LogDays all = LogDays::fromLines(many, 25, d(3), [&](int p) { return reported.append(p), true; });
    EXPECT_EQ(all.day(d(2)).unitsDone(), 40);
    EXPECT_EQ(reported.last(), 100);
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_TRUE(LogDays::fromLines(many, 25, d(3), [](int p) { return p < 50; }).day(d(2)).units.size() < 40);
}

TEST(StreakTest, SundaysMonthEndsAndToday) {
    for (const CaseRow& row : caseTable(cases, u"streaks"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        const Streaks s = streaks(read(days(row[1]), date(row[2])), date(row[2]));
        EXPECT_EQ(figures(s.current, s.longest), row[3]);
    }
}

TEST(SummaryTest, PeriodsAndTargets) {
    const LogDays log =
        read(days(u"01.12x2/2 02.12x1/3 08.12x4"_s) + QStringList{u"Mi, 03.12.2025 10:00|50 X"_s});
    const PeriodSummary week = summarize(log, weekStart(d(3)), weekStart(d(3)).addDays(6));
    EXPECT_EQ(weekStart(d(3)), d(1));
    EXPECT_EQ(std::tuple(week.unitsDone, week.minutesDone, week.unitsFailed, week.targetSum,
                         week.daysTargetMet, week.targetMet()),
              std::tuple(3, 75, 1, 5, 1, false));
    EXPECT_EQ(summarize(log, monthStart(d(8)), d(31)).unitsDone, 7);
    EXPECT_TRUE(summarize(log, d(1), d(1)).targetMet());
}

TEST(FailureTest, RatesByHourWeekdayLengthAndTitles) {
    const LogDays log = read(logLines(u"failures"_s));
    const FailureStats s = failures(log, d(1), d(31));
    EXPECT_EQ(std::tuple(s.byWeekdayHour[0][9].total, s.byWeekdayHour[0][9].done, s.byWeekdayHour[0][10].done,
                         s.byWeekdayHour[2][14].total, s.byLength.value(25).total, s.byLength.value(25).done),
              std::tuple(4, 1, 1, 1, 7, 1));
    EXPECT_DOUBLE_EQ(s.byLength.value(50).share(), 1.0);
    // Steuer: unfinished on 01., 02. and 08. (twice on the 1st counts as one day); Mails on two.
    ASSERT_EQ(s.unfinishedTitles.size(), 1);
    EXPECT_EQ(std::pair(s.unfinishedTitles[0].title, s.unfinishedTitles[0].days), std::pair(u"Steuer"_s, 3));
    EXPECT_TRUE(failures(log, d(2), d(31)).unfinishedTitles.isEmpty());
}

TEST(ReplanTest, ReasonsGroupedAndTargetRates) {
    const ReplanStats s = replans(read(logLines(u"replans"_s)), d(1), d(31, 1, 2026));
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
    const LogDays log = read(days(u"22.12x0/1 15.12 08.12x2 01.12x4 29.12x8 23.12x8"_s));
    const NormalBand band = normalBand(log, Qt::Monday, d(29), 8, 60);
    ASSERT_EQ(band.days, (QList<QDate>{d(22), d(15), d(8), d(1)}));
    ASSERT_EQ(band.median.size(), 25);
    EXPECT_EQ(std::tuple(band.p25[12], band.median[12], band.p75[12], band.median[8]),
              std::tuple(18.75, 37.5, 62.5, 0.0)); // exact in binary
    EXPECT_EQ(normalBand(log, Qt::Monday, d(29), 2, 60).days, (QList<QDate>{d(22), d(15)}));
    // A unit counts while it runs: 08:00-08:25 and 08:30-08:55 give 25 at 08:30 and 40 at 08:40.
    const QVector<double> curve = cumulativeCurve(log.day(d(8)), 10);
    EXPECT_EQ(std::tuple(curve[51], curve[52], curve.last()), std::tuple(25.0, 35.0, 50.0));
}

TEST(CalibrationTest, SuggestedTargetFromTheLastTwentyDays) {
    for (const CaseRow& row : caseTable(cases, u"calibration"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        QStringList lines;
        QDate day = d(1, 1);
        for (const QString& done : row[1].split(u' ', Qt::SkipEmptyParts)) {
            lines << ActivityLog::targetLine(day, 4).mid(2) << units(day, done.toInt());
            day = day.addDays(1);
        }
        // Today's target, with nothing done yet, is no evidence.
        lines << ActivityLog::targetLine(day, 12).mid(2);
        const Calibration cal = calibrate(read(lines), day);
        EXPECT_EQ(figures(cal.suggested.value_or(0), cal.basisDays, cal.byTarget.value(4).done), row[2]);
        EXPECT_FALSE(cal.byTarget.contains(12));
    }
}

TEST(TitleTest, TotalsLargestFirst) {
    const QList<TitleTotal> t = titleTotals(read(logLines(u"titles"_s)), d(1), d(19));
    ASSERT_EQ(t.size(), 3);
    // 50 minutes in two units beats 50 in one.
    EXPECT_EQ(std::tuple(t[0].title, t[0].units, t[1].title, t[2].minutes),
              std::tuple(u"A"_s, 2, u"B"_s, 10));
}

TEST(DaylightSavingTest, WallClockDaysStayWhole) {
    const LogDays log = read(logLines(u"clock changes"_s));
    EXPECT_EQ(log.day(d(29, 3, 2026)).minutesDone(), 50);
    EXPECT_EQ(log.day(d(25, 10, 2026)).unitsDone(), 2);
    const QVector<double> spring = cumulativeCurve(log.day(d(29, 3, 2026)), 30);
    EXPECT_EQ(std::pair(spring[6], spring[7]), std::pair(25.0, 50.0)); // 03:00, 03:30
}

TEST(LogDaysTest, AbsurdValuesNeitherOverflowNorCount) {
    const LogDays log = read(logLines(u"absurd values"_s));
    constexpr qint64 most = std::numeric_limits<int>::max();
    EXPECT_EQ(std::tuple(log.skippedLines(), log.day(d(5)).unitsDone(), log.day(d(5)).minutesDone(),
                         log.day(d(6)).target),
              std::tuple(4, 2, 2 * most, int(most)));
    const PeriodSummary s = summarize(log, d(1), d(31));
    EXPECT_EQ(s.targetSum, 2 * most);
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
        TempDataFolder dir;
        dir.write(u"Dezuzedu.log"_s, sample);
        const QString path = dir.filePath(u"Dezuzedu.log"_s);
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
    TempDataFolder dir;
    dir.write(u"Dezuzedu.log"_s, "\r\nFr, 05.12.2025 09:00|25 Bericht [x]");
    const QString path = dir.filePath(u"Dezuzedu.log"_s);
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
    for (const CaseRow& row : caseTable(cases, u"scales"_s)) {
        const AxisScale s = roundScale(row[0].toDouble());
        EXPECT_EQ(figures(qint64(s.top), qint64(s.step)), row[1]) << row.where.toStdString();
    }
    for (const CaseRow& row : caseTable(cases, u"label steps"_s))
        EXPECT_EQ(labelStep(row.number(0), row.number(1), row[2] == u"true"_s), row.number(3))
            << row.where.toStdString();
    for (const CaseRow& row : caseTable(cases, u"export ranges"_s))
        EXPECT_EQ(exportRange(date(row[0]), date(row[1]), d(17)), std::pair(date(row[0]), date(row[2])))
            << row.where.toStdString();
    for (const CaseRow& row : caseTable(cases, u"active hours"_s)) {
        QList<QVector<double>> curves;
        for (const QString& field : row.fields.mid(2)) {
            const QStringList lines =
                field == u"-"_s ? QStringList() : field.split(u" ; "_s, Qt::SkipEmptyParts);
            const LogDays log = read(lines);
            curves << (field == u"-"_s
                           ? QVector<double>()
                           : cumulativeCurve(log.day(lines.isEmpty() ? d(8) : date(lines[0].mid(4, 10))),
                                             10));
        }
        const HourSpan span = activeHours(curves, 10);
        EXPECT_EQ(figures(span.from, span.to), row[1]) << row.where.toStdString();
    }
    using Runs = QList<std::pair<int, int>>;
    EXPECT_EQ(targetRuns({true, true, false, true, false, false}), (Runs{{0, 1}, {3, 3}}));
    EXPECT_EQ(targetRuns({false, false}), Runs());
}
