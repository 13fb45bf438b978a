#include "plan_fixture.h"

#include <algorithm>

namespace {

using ScheduleTest = PlanTest;

TEST_F(ScheduleTest, RelativeUnitsStartNowWithTheSmallPauseBetween) {
    setNow(9, 0, 40);
    addUnit(QStringLiteral("A"));
    addUnit(QStringLiteral("B"));
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|09:00|09:25|A|R|E|25| |07.12.2026|"),
                              QStringLiteral("2|09:30|09:55|B|R|E|25| |07.12.2026|"),
                          }));
}

TEST_F(ScheduleTest, SmallPauseOnlyBetweenTwoUnits) {
    setNow(9, 0);
    addUnit(QStringLiteral("A"));
    addPause(15);
    addUnit(QStringLiteral("B"));
    addPause(5, QStringLiteral("Kaffee"));
    addPause(10);
    addUnit(QStringLiteral("C"), 50);
    addUnit(QStringLiteral("D"));
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|09:00|09:25|A|R|E|25| |07.12.2026|"),
                              QStringLiteral("|09:25|09:40|Pause: 15 min|R|P|15| |07.12.2026|"),
                              QStringLiteral("2|09:40|10:05|B|R|E|25| |07.12.2026|"),
                              QStringLiteral("|10:05|10:10|Pause: 5 min (Kaffee)|R|P|5| |07.12.2026|"),
                              QStringLiteral("|10:10|10:20|Pause: 10 min|R|P|10| |07.12.2026|"),
                              QStringLiteral("3|10:20|11:10|C|R|E|50| |07.12.2026|"),
                              QStringLiteral("4|11:15|11:40|D|R|E|25| |07.12.2026|"),
                          }));
}

TEST_F(ScheduleTest, SmallPauseComesFromTheSettingAndIsAtLeastOneMinute) {
    const struct {
        int setting;
        QString secondStart;
    } cases[] = {{5, QStringLiteral("09:30")},
                 {10, QStringLiteral("09:35")},
                 {1, QStringLiteral("09:26")},
                 {0, QStringLiteral("09:26")},
                 {-7, QStringLiteral("09:26")}};
    setNow(9, 0);
    for (const auto& c : cases) {
        settings.KleinePause = c.setting;
        Worklist fresh(clock, settings, host);
        fresh.AddEntry(QStringLiteral("A"), false, plantime::now(clock), 25, false, QStringLiteral(" "));
        fresh.AddEntry(QStringLiteral("B"), false, plantime::now(clock), 25, false, QStringLiteral(" "));
        EXPECT_EQ(fresh.entries().at(1).startTime, c.secondStart) << c.setting;
        EXPECT_EQ(fresh.entries().at(1).conflictMark, QString()) << c.setting;
    }
}

TEST_F(ScheduleTest, RelativePartSlidesWithTheClock) {
    setNow(9, 0, 40);
    addUnit(QStringLiteral("A"));
    addPause(15);
    addUnit(QStringLiteral("B"));
    addFixed(QStringLiteral("Termin"), 14, 0);
    const QStringList at0900 = rows(list);

    // Within the same minute nothing changes and the view is not told to repaint.
    host.entriesChangedCalls = 0;
    tick(15);
    EXPECT_EQ(rows(list), at0900);
    EXPECT_EQ(host.entriesChangedCalls, 0);

    // Every new minute moves the relative entries; the fixed one stays.
    tick(10); // 09:01:05
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|09:01|09:26|A|R|E|25| |07.12.2026|"),
                              QStringLiteral("|09:26|09:41|Pause: 15 min|R|P|15| |07.12.2026|"),
                              QStringLiteral("2|09:41|10:06|B|R|E|25| |07.12.2026|"),
                              QStringLiteral("3|14:00|14:25|Termin|F|E|25| |07.12.2026|"),
                          }));
    EXPECT_EQ(host.entriesChangedCalls, 1);
    tick(2 * 3600); // 11:01:05
    EXPECT_EQ(list.entries().at(0).startTime, QStringLiteral("11:01"));
    EXPECT_EQ(list.entries().at(2).endTime, QStringLiteral("12:06"));
    EXPECT_EQ(list.entries().at(3).startTime, QStringLiteral("14:00"));
}

TEST_F(ScheduleTest, FixedStartThatHasComeTurnsRelative) {
    setNow(13, 0);
    addFixed(QStringLiteral("Termin"), 14, 0);
    addUnit(QStringLiteral("Danach"));
    setNow(13, 59, 59);
    list.RecomputeSchedule();
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|14:00|14:25|Termin|F|E|25| |07.12.2026|"),
                              QStringLiteral("2|14:30|14:55|Danach|R|E|25| |07.12.2026|"),
                          }));
    setNow(14, 0, 0);
    list.RecomputeSchedule();
    EXPECT_EQ(list.entries().first().startMode, QStringLiteral("R"));
    tick(60);
    // Being the first open entry, it now starts at the current minute; its follower slides.
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|14:01|14:26|Termin|R|E|25| |07.12.2026|"),
                              QStringLiteral("2|14:31|14:56|Danach|R|E|25| |07.12.2026|"),
                          }));
}

TEST_F(ScheduleTest, FixedStartBehindAnotherEntryFollowsItOnceItHasCome) {
    setNow(9, 50);
    addUnit(QStringLiteral("A"), 50);         // 09:50-10:40
    addFixed(QStringLiteral("B"), 10, 0, 25); // collides with A
    ASSERT_EQ(list.entries().at(1).conflictMark, QStringLiteral("E"));
    setNow(10, 0);
    list.RecomputeSchedule();
    // The passed fixed start no longer holds B: it follows A, and the collision is gone.
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|10:00|10:50|A|R|E|50| |07.12.2026|"),
                              QStringLiteral("2|10:55|11:20|B|R|E|25| |07.12.2026|"),
                          }));
}

TEST_F(ScheduleTest, RelativeEntryIsNotChainedToAFinishedOne) {
    setNow(9, 10);
    addUnit(QStringLiteral("A"));
    // A finished unit lying ahead (the clock was set back, say).
    list.AddEntry(QStringLiteral("B"), false, wallAt(2026, 12, 7, 9, 50), 25, true, QStringLiteral("x"));
    addUnit(QStringLiteral("C"));
    // C stands behind B: it keeps the placeholder start it was added with instead of 10:20.
    QStringList order;
    for (const PlanEntry& e : list.entries())
        order.append(e.displayText + QLatin1Char('@') + e.startTime + e.conflictMark);
    EXPECT_EQ(order, QStringList(
                         {QStringLiteral("A@09:10"), QStringLiteral("C@09:10E"), QStringLiteral("B@09:50")}));
    // Sorted behind A, the next tick chains it to A.
    tick(1);
    EXPECT_EQ(list.entries().at(1).startTime, QStringLiteral("09:40"));
}

TEST_F(ScheduleTest, MidnightStartsTheNextDayAndItsNumbering) {
    clock.set(QDate(2026, 12, 7), QTime(23, 50));
    list.AddEntry(QStringLiteral("Früh"), false, wallAt(2026, 12, 7, 8, 0), 25, true, QStringLiteral("x"));
    addUnit(QStringLiteral("A"));
    addUnit(QStringLiteral("B"));
    addPause(10);
    addUnit(QStringLiteral("C"));
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|08:00|08:25|Früh|F|E|25|x|07.12.2026|"),
                              QStringLiteral("2|23:50|00:15|A|R|E|25| |07.12.2026|"),
                              QStringLiteral("1|00:20|00:45|B|R|E|25| |08.12.2026|"),
                              QStringLiteral("|00:45|00:55|Pause: 10 min|R|P|10| |08.12.2026|"),
                              QStringLiteral("2|00:55|01:20|C|R|E|25| |08.12.2026|"),
                          }));
    EXPECT_EQ(list.PlannedTodayCount(), 2);
    EXPECT_EQ(list.FirstOpenTomorrowIndex(), 2);

    // At midnight the day changes: yesterday's finished unit goes, the plan slides on.
    tick(10 * 60); // 00:00 on 08.12.2026
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|00:00|00:25|A|R|E|25| |08.12.2026|"),
                              QStringLiteral("2|00:30|00:55|B|R|E|25| |08.12.2026|"),
                              QStringLiteral("|00:55|01:05|Pause: 10 min|R|P|10| |08.12.2026|"),
                              QStringLiteral("3|01:05|01:30|C|R|E|25| |08.12.2026|"),
                          }));
    EXPECT_EQ(list.lastScheduleDay, QDate(2026, 12, 8));
}

TEST_F(ScheduleTest, ConflictRule) {
    // A unit runs 10:00-10:25 (relative, started at 10:00, or fixed for the same-start cases,
    // since a fixed start that has come would turn relative); what follows it?
    struct Case {
        const char* what;
        bool aFixed;
        int h, m, minutes;
        bool pause;
        bool marked;
    };
    const Case cases[] = {
        {"unit starting inside it", false, 10, 10, 25, false, true},
        {"unit right at its end (no small pause)", false, 10, 25, 25, false, true},
        {"pause right at its end", false, 10, 25, 15, true, false},
        {"unit after the small pause", false, 10, 30, 25, false, false},
        {"pause starting inside it", false, 10, 20, 15, true, true},
        {"unit one minute before its end", false, 10, 24, 25, false, true},
        {"unit at the same start", true, 10, 0, 25, false, true},
        {"pause at the same start", true, 10, 0, 15, true, true},
        {"unit after a pause gap", true, 10, 26, 25, false, false},
    };
    for (const Case& c : cases) {
        RecordingHost h;
        setNow(c.aFixed ? 9 : 10, 0);
        Worklist fresh(clock, settings, h);
        fresh.AddEntry(QStringLiteral("A"), false, wallAt(2026, 12, 7, 10, 0), 25, c.aFixed,
                       QStringLiteral(" "));
        fresh.AddEntry(QStringLiteral("B"), c.pause, wallAt(2026, 12, 7, c.h, c.m), c.minutes, true,
                       QStringLiteral(" "));
        ASSERT_EQ(fresh.entries().size(), 2) << c.what;
        ASSERT_EQ(fresh.entries().at(0).displayText, QStringLiteral("A")) << c.what;
        ASSERT_EQ(fresh.entries().at(0).startTime, QStringLiteral("10:00")) << c.what;
        EXPECT_EQ(fresh.entries().at(0).conflictMark, QString()) << c.what;
        EXPECT_EQ(fresh.entries().at(1).conflictMark, c.marked ? QStringLiteral("E") : QString()) << c.what;
    }
}

TEST_F(ScheduleTest, ConflictsBetweenFixedEntriesAndAfterFinishedOnes) {
    setNow(8, 0);
    // Two fixed entries with the same start: the second in list order is marked.
    addFixed(QStringLiteral("X"), 12, 0);
    addFixed(QStringLiteral("Y"), 12, 0);
    // A zero-length pause and a unit at the same minute: end equals start and one of them is a
    // pause, so the unit is not marked.
    addFixed(QStringLiteral(""), 15, 0, 0, true);
    addFixed(QStringLiteral("Z"), 15, 0);
    // An open entry behind a finished unit whose end lies later is never marked.
    list.AddEntry(QStringLiteral("Fertig"), false, wallAt(2026, 12, 7, 7, 0), 120, true, QStringLiteral("x"));
    addFixed(QStringLiteral("Früh"), 8, 30);
    QStringList marks;
    for (const PlanEntry& e : list.entries())
        marks.append(e.displayText + QLatin1Char('=') + e.conflictMark);
    EXPECT_EQ(marks,
              QStringList({QStringLiteral("Fertig="), QStringLiteral("Früh="), QStringLiteral("X="),
                           QStringLiteral("Y=E"), QStringLiteral("Pause: 0 min="), QStringLiteral("Z=")}));

    // A mark goes as soon as the collision is resolved.
    list.entries()[3].startTime = QStringLiteral("13:00");
    list.RecomputeSchedule();
    EXPECT_EQ(list.entries().at(3).conflictMark, QString());
}

TEST_F(ScheduleTest, EqualStartsKeepTheirListOrder) {
    setNow(8, 0);
    auto titles = [this] {
        QStringList out;
        for (const PlanEntry& e : list.entries())
            out.append(e.displayText);
        return out;
    };
    // Enough entries that a sort which does not keep the order of equals would show it.
    QStringList expected;
    for (int i = 0; i < 40; ++i) {
        const QString title = QStringLiteral("Gleich %1").arg(i);
        addFixed(title, 12, 0);
        expected.append(title);
    }
    addFixed(QStringLiteral("Früher"), 11, 0);
    addFixed(QStringLiteral("Später"), 13, 0);
    expected.prepend(QStringLiteral("Früher"));
    expected.append(QStringLiteral("Später"));
    EXPECT_EQ(titles(), expected);

    // Reordered by an editing command: the sort keeps the new order of the equal entries.
    std::reverse(list.entries().begin(), list.entries().end());
    std::reverse(expected.begin() + 1, expected.end() - 1);
    for (int i = 0; i < 3; ++i)
        tick(60);
    EXPECT_EQ(titles(), expected);
    EXPECT_EQ(list.entries().at(1).conflictMark, QString());
    EXPECT_EQ(list.entries().at(2).conflictMark, QStringLiteral("E"));
}

TEST_F(ScheduleTest, SortOrderComparesEntryStarts) {
    auto entry = [](const char* date, const char* time) {
        PlanEntry e;
        e.date = QString::fromLatin1(date);
        e.startTime = QString::fromLatin1(time);
        return e;
    };
    EXPECT_EQ(Worklist::lvPlanCompare(entry("07.12.2026", "09:00"), entry("07.12.2026", "09:01")), -1);
    EXPECT_EQ(Worklist::lvPlanCompare(entry("07.12.2026", "09:01"), entry("07.12.2026", "09:00")), 1);
    EXPECT_EQ(Worklist::lvPlanCompare(entry("07.12.2026", "09:00"), entry("7.12.2026", "9:00")), 0);
    EXPECT_EQ(Worklist::lvPlanCompare(entry("07.12.2026", "23:59"), entry("08.12.2026", "00:00")), -1);
    EXPECT_EQ(Worklist::lvPlanCompare(entry("31.12.2026", "23:59"), entry("01.01.2027", "00:00")), -1);
    EXPECT_THROW(Worklist::lvPlanCompare(entry("07.12.2026", "9 Uhr"), entry("07.12.2026", "09:00")),
                 plantime::ConversionError);
}

TEST_F(ScheduleTest, TimesStandStillWhileTheEngineRuns) {
    setNow(9, 0);
    list.AddEntry(QStringLiteral("Läuft"), false, wallAt(2026, 12, 7, 9, 3), 25, true, QStringLiteral("WIP"));
    addUnit(QStringLiteral("B"));
    addUnit(QStringLiteral("C"));
    host.engine = true;
    list.captionSuffix = QStringLiteral(" - EINHEIT AKTIV");
    // The running unit started late: nothing moves while the engine is active.
    list.entries()[0].startTime = QStringLiteral("09:10");
    const QStringList frozen = rows(list);
    tick(40 * 60);
    EXPECT_EQ(rows(list), frozen);
    EXPECT_EQ(list.caption(), QStringLiteral("Taktplan (0/3) - EINHEIT AKTIV"));

    // Re-planning stops the engine and puts the running unit back to pending relative: the
    // next tick moves the relative entries to the current time.
    host.engine = false;
    list.entries()[0].status = QStringLiteral(" ");
    list.entries()[0].startMode = QStringLiteral("R");
    tick(1);
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|09:40|10:05|Läuft|R|E|25| |07.12.2026|"),
                              QStringLiteral("2|10:10|10:35|B|R|E|25| |07.12.2026|"),
                              QStringLiteral("3|10:40|11:05|C|R|E|25| |07.12.2026|"),
                          }));
    EXPECT_EQ(list.caption(), QStringLiteral("Taktplan (0/3)"));
}

TEST_F(ScheduleTest, DayChangePurgesEvenWhileTheEngineRuns) {
    clock.set(QDate(2026, 12, 7), QTime(23, 0));
    list.AddEntry(QStringLiteral("Heute"), false, wallAt(2026, 12, 7, 22, 0), 25, true, QStringLiteral("x"));
    list.AddEntry(QStringLiteral("Nacht"), false, wallAt(2026, 12, 7, 23, 0), 90, true,
                  QStringLiteral("WIP"));
    list.removedDoneCount = 2;
    host.engine = true;
    tick(3600); // 00:00 on 08.12.2026
    ASSERT_EQ(list.entries().size(), 1);
    EXPECT_EQ(list.entries().first().displayText, QStringLiteral("Nacht"));
    EXPECT_EQ(list.removedDoneCount, 0);
    EXPECT_EQ(list.lastScheduleDay, QDate(2026, 12, 8));
    EXPECT_EQ(list.entries().first().startTime, QStringLiteral("23:00"));
}

TEST_F(ScheduleTest, CaptionText) {
    struct Case {
        bool engine;
        QString suffix;
        bool percentile;
        int rank;
        QString caption;
    };
    const Case cases[] = {
        {false, QString(), false, 0, QStringLiteral("Taktplan (3/8)")},
        {false, QStringLiteral(" - EINHEIT AKTIV"), false, 0, QStringLiteral("Taktplan (3/8)")},
        {true, QStringLiteral(" - EINHEIT AKTIV"), false, 0,
         QStringLiteral("Taktplan (3/8) - EINHEIT AKTIV")},
        {true, QStringLiteral(" - PAUSE AKTIV"), true, 62,
         QStringLiteral("Taktplan (3/8) - PAUSE AKTIV - #62")},
        {true, QStringLiteral(" - EINHEIT AKTIV"), true, 62,
         QStringLiteral("Taktplan (3/8) - EINHEIT AKTIV - #62")},
        {true, QString(), false, 0, QStringLiteral("Taktplan (3/8)")},
        {false, QString(), true, 0, QStringLiteral("Taktplan (3/8) - #0")},
    };
    setNow(12, 0);
    for (int h = 8; h < 11; ++h)
        list.AddEntry(QStringLiteral("F"), false, wallAt(2026, 12, 7, h, 0), 25, true, QStringLiteral("x"));
    for (int i = 0; i < 5; ++i)
        addUnit(QStringLiteral("Offen"));
    for (const Case& c : cases) {
        host.engine = c.engine;
        host.rank = c.rank;
        list.captionSuffix = c.suffix;
        settings.showPercentileRanking = c.percentile;
        list.RecomputeSchedule();
        EXPECT_EQ(list.caption(), c.caption);
        EXPECT_EQ(list.captionText(), c.caption);
        EXPECT_EQ(host.captions.last(), c.caption);
    }

    Worklist empty(clock, settings, host);
    settings.showPercentileRanking = false;
    host.engine = false;
    empty.RecomputeSchedule();
    EXPECT_EQ(empty.caption(), QStringLiteral("Taktplan (0/0)"));
}

TEST_F(ScheduleTest, FieldThatDoesNotConvertLeavesTheListWhole) {
    setNow(9, 0);
    addUnit(QStringLiteral("A"));
    addUnit(QStringLiteral("B"));
    addFixed(QStringLiteral("Termin"), 14, 0);
    addFixed(QStringLiteral("Abend"), 18, 0);
    ASSERT_EQ(list.entries().at(3).displayText, QStringLiteral("Abend"));

    // A hand-edited fixed start that is no time: nothing moves, nothing is re-sorted.
    list.entries()[3].startTime = QStringLiteral("18:7x");
    clock.advanceSecs(3600);
    QStringList before = rows(list);
    EXPECT_THROW(list.RecomputeSchedule(), plantime::ConversionError);
    EXPECT_EQ(rows(list), before);

    // A length that is no number: the entries before it are placed whole, it keeps its times.
    list.entries()[3].startTime = QStringLiteral("18:00");
    list.entries()[1].duration = QStringLiteral("2x");
    before = rows(list);
    EXPECT_THROW(list.RecomputeSchedule(), plantime::ConversionError);
    EXPECT_EQ(rows(list).at(0), QStringLiteral("1|10:00|10:25|A|R|E|25| |07.12.2026|"));
    EXPECT_EQ(rows(list).mid(1), before.mid(1));

    // Mended, the next tick computes everything again.
    list.entries()[1].duration = QStringLiteral("25");
    list.RecomputeSchedule();
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|10:00|10:25|A|R|E|25| |07.12.2026|"),
                              QStringLiteral("2|10:30|10:55|B|R|E|25| |07.12.2026|"),
                              QStringLiteral("3|14:00|14:25|Termin|F|E|25| |07.12.2026|"),
                              QStringLiteral("4|18:00|18:25|Abend|F|E|25| |07.12.2026|"),
                          }));

    // A relative entry's own date is rewritten before anything reads it.
    list.entries()[1].date = QStringLiteral("kein Datum");
    tick(60);
    EXPECT_EQ(list.entries().at(1).date, QStringLiteral("07.12.2026"));
}

} // namespace
