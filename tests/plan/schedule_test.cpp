#include "plan_fixture.h"

#include "plan_minutes.h"

#include <algorithm>

namespace {

using namespace Qt::StringLiterals;
using ScheduleTest = PlanTest;

TEST_F(ScheduleTest, RelativeEntriesStartNowAndSlideWithTheClock) {
    setNow(9, 0, 40);
    addPlan(u"A/E/-; /P/-/15; B/E/-; Kaffee/P/-/5; /P/-/10; C/E/-/50; D/E/-; Termin/E/14:00"_s);
    // The small pause comes only between two units.
    const QStringList at0900 = goldenRows("relative entries at 09:00");
    EXPECT_EQ(rows(list), at0900);

    // Within the same minute nothing changes.
    tick(15);
    EXPECT_EQ(rows(list), at0900);
    // Every new minute moves the relative entries; the fixed one stays.
    tick(10);
    EXPECT_EQ(rows(list).first(), u"1|09:01|09:26|A|R|E|25| |07.12.2026|"_s);
    EXPECT_EQ(rows(list).at(6), u"4|11:16|11:41|D|R|E|25| |07.12.2026|"_s);
    EXPECT_EQ(rows(list).last(), at0900.last());

    // The small pause comes from the setting, and is at least a minute.
    settings.KleinePause = 10;
    tick(60);
    EXPECT_EQ(rows(list).at(6), u"4|11:22|11:47|D|R|E|25| |07.12.2026|"_s);
    settings.KleinePause = 0;
    tick(60);
    EXPECT_EQ(rows(list).at(6), u"4|11:14|11:39|D|R|E|25| |07.12.2026|"_s);
}

TEST_F(ScheduleTest, RelativeEntryIsNotChainedToAFinishedOne) {
    setNow(9, 10);
    addUnit(u"A"_s);
    add(u"B"_s, dec(7, 9, 50), "x"); // a finished unit lying ahead (the clock was set back, say)
    addUnit(u"C"_s);
    // C stands behind B: it keeps the placeholder start it was added with instead of 10:20.
    EXPECT_EQ(starts(list), u"A@09:10 C@09:10E B@09:50"_s);
    // Sorted behind A, the next tick chains it to A.
    tick(1);
    EXPECT_EQ(list.entries().at(1).startTime, u"09:40"_s);
}

TEST_F(ScheduleTest, MidnightStartsTheNextDayAndItsNumbering) {
    // New Year's Eve, so that the order of the dates cannot come from their text.
    clock.set(QDate(2026, 12, 31), QTime(23, 50));
    addPlan(u"Früh/E/31 08:00/25/x; A/E/-; B/E/-; /P/-/10; C/E/-"_s);
    EXPECT_EQ(rows(list), goldenRows("midnight before"));
    EXPECT_EQ(list.PlannedTodayCount(), 2);
    EXPECT_EQ(list.FirstOpenTomorrowIndex(), 2);

    // At midnight the day changes: yesterday's finished unit goes, the plan slides on.
    tick(10 * 60);
    EXPECT_EQ(rows(list), goldenRows("midnight after"));
    EXPECT_EQ(list.lastScheduleDay(), QDate(2027, 1, 1));
}

TEST_F(ScheduleTest, ConflictRule) {
    for (const CaseRow& c : caseTable(QStringLiteral(PLAN_TEST_DATA "/worklist.txt"), u"conflicts"_s)) {
        list.ClearOpenEntries();
        list.removeFinished();
        clock.set(clock.today(), QTime::fromString(c[0], u"hh:mm"_s));
        addPlan(c[1]);
        EXPECT_EQ(starts(list), c[2]) << c.where.toStdString();
    }
}

TEST_F(ScheduleTest, DatesStayWithinWhatADateTextHolds) {
    // Entries that would run past 31.12.9999 pile up on its last minute as conflicts; every
    // date reads back and the caption is written.
    clock.set(QDate(9999, 12, 30), QTime(9, 0));
    list.startPlanningDay();
    for (int i = 0; i < 3; ++i)
        addPause(planminutes::longestDuration);
    addUnit(u"Danach"_s);
    for (const PlanEntry& e : list.entries()) {
        EXPECT_EQ(e.date.size(), 10) << e.date.toStdString();
        EXPECT_NO_THROW(planminutes::readStart(e));
    }
    EXPECT_EQ(list.entries().last().date + list.entries().last().conflictMark, u"31.12.9999E"_s);
    EXPECT_EQ(list.caption(), u"Taktplan (0/0)"_s);
}

TEST_F(ScheduleTest, EqualStartsKeepTheirListOrder) {
    setNow(8, 0);
    // Enough entries that a sort which does not keep the order of equals would show it.
    QStringList expected;
    for (int i = 0; i < 40; ++i) {
        expected.append(u"Gleich %1"_s.arg(i));
        addFixed(expected.last(), 12, 0);
    }
    addFixed(u"Früher"_s, 11, 0);
    addFixed(u"Später"_s, 13, 0);
    expected.prepend(u"Früher"_s);
    expected.append(u"Später"_s);
    EXPECT_EQ(titles(list), expected.join(u", "_s));

    // Reordered by an editing command: the sort keeps the new order of the equal entries.
    for (qsizetype i = 0, n = list.entries().size(); i < n / 2; ++i)
        std::swap(list.editEntry(i), list.editEntry(n - 1 - i));
    std::reverse(expected.begin() + 1, expected.end() - 1);
    for (int i = 0; i < 3; ++i)
        tick(60);
    EXPECT_EQ(titles(list), expected.join(u", "_s));
    EXPECT_EQ(list.entries().at(1).conflictMark, QString());
    EXPECT_EQ(list.entries().at(2).conflictMark, u"E"_s);
}

TEST_F(ScheduleTest, TimesStandStillWhileTheEngineRunsButTheDayChangeStillPurges) {
    setNow(23, 0);
    // Two of today's finished units taken out: they still count.
    add(u"Weg"_s, dec(7, 21, 0), "x");
    add(u"Weg"_s, dec(7, 21, 30), "x");
    list.removeFinished();
    add(u"Heute"_s, dec(7, 22, 0), "x");
    add(u"Nacht"_s, dec(7, 23, 0), "WIP", 90);
    addUnit(u"B"_s);
    run.isActive = true;
    list.setCaptionSuffix(u" - EINHEIT AKTIV"_s);
    // The running unit started late: nothing moves while the engine is active.
    list.editEntry(1).startTime = u"23:10"_s;
    const QStringList frozen = rows(list);
    tick(30 * 60);
    EXPECT_EQ(rows(list), frozen);
    EXPECT_EQ(list.caption(), u"Taktplan (3/4) - EINHEIT AKTIV"_s);
    tick(30 * 60); // midnight
    EXPECT_EQ(rows(list), frozen.mid(1));
    EXPECT_EQ(list.removedDoneCount(), 0);
    EXPECT_EQ(list.lastScheduleDay(), QDate(2026, 12, 8));

    // Re-planning stops the engine and puts the running unit back to pending relative: the
    // next tick moves the relative entries to the current time.
    run.isActive = false;
    list.editEntry(0).status = u" "_s;
    list.editEntry(0).startMode = u"R"_s;
    tick(1);
    EXPECT_EQ(rows(list), goldenRows("re-planned after midnight"));
    EXPECT_EQ(list.caption(), u"Taktplan (0/2)"_s);
}

TEST_F(ScheduleTest, CaptionText) {
    setNow(12, 0);
    for (int h = 8; h < 11; ++h)
        add(u"F"_s, dec(7, h, 0), "x");
    for (int i = 0; i < 5; ++i)
        addUnit(u"Offen"_s);
    run.rank = 62;
    for (const CaseRow& c : caseTable(QStringLiteral(PLAN_TEST_DATA "/worklist.txt"), u"captions"_s)) {
        run.isActive = c[0] == u"yes"_s;
        settings.showPercentileRanking = c[1] == u"yes"_s;
        list.setCaptionSuffix(c[2]);
        list.RecomputeSchedule();
        EXPECT_EQ(QStringList({list.caption(), list.captionText(), host.caption}), QStringList(3, c[3]))
            << c.where.toStdString();
    }
}

TEST_F(ScheduleTest, FieldThatDoesNotConvertLeavesTheListWhole) {
    addPlan(u"A/E/-; B/E/-; Abend/E/18:00"_s);

    // A hand-edited fixed start that is no time: nothing moves, nothing is re-sorted.
    list.editEntry(2).startTime = u"18:7x"_s;
    clock.advanceSecs(3600);
    QStringList before = rows(list);
    EXPECT_THROW(list.RecomputeSchedule(), plantime::ConversionError);
    EXPECT_EQ(rows(list), before);

    // A length that is no number: the entries before it are placed whole, it keeps its times.
    list.editEntry(2).startTime = u"18:00"_s;
    list.editEntry(1).duration = u"2x"_s;
    before = rows(list);
    EXPECT_THROW(list.RecomputeSchedule(), plantime::ConversionError);
    EXPECT_EQ(rows(list).at(0), u"1|10:00|10:25|A|R|E|25| |07.12.2026|"_s);
    EXPECT_EQ(rows(list).mid(1), before.mid(1));

    // Mended, the next tick computes everything again; a relative entry's own date is
    // rewritten before anything reads it.
    list.editEntry(1).duration = u"25"_s;
    list.editEntry(1).date = u"kein Datum"_s;
    list.RecomputeSchedule();
    EXPECT_EQ(rows(list), goldenRows("mended"));
}

} // namespace
