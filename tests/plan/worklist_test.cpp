#include "plan_fixture.h"

#include "activity_log.h"
#include "debug_log.h"
#include "scripted_ui.h"

namespace {

const QString pending = QStringLiteral(" ");
const QString running = QStringLiteral("WIP");
const QString done = QStringLiteral("x");

using WorklistTest = PlanTest;

TEST_F(WorklistTest, PauseDisplayTextAndTitleReadBack) {
    struct Case {
        int minutes;
        QString title;
        QString displayText;
    };
    const Case cases[] = {
        {25, QString(), QStringLiteral("Pause: 25 min")},
        {25, QStringLiteral("Mittagspause"), QStringLiteral("Pause: 25 min (Mittagspause)")},
        {5, QStringLiteral("(a)"), QStringLiteral("Pause: 5 min ((a))")},
        {0, QStringLiteral("Kaffee (stark)"), QStringLiteral("Pause: 0 min (Kaffee (stark))")},
    };
    for (const Case& c : cases) {
        Worklist fresh(clock, settings, host);
        fresh.AddEntry(c.title, true, plantime::now(clock), c.minutes, false, pending);
        ASSERT_EQ(fresh.entries().size(), 1);
        const PlanEntry& e = fresh.entries().first();
        EXPECT_EQ(e.displayText, c.displayText);
        EXPECT_EQ(e.pauseTitle(), c.title) << c.displayText.toStdString();
        EXPECT_EQ(e.kind, QStringLiteral("P"));
        EXPECT_EQ(e.number, QString()) << "pauses carry no number";
    }
    // A unit keeps its title as typed, parentheses and emptiness included.
    addUnit(QStringLiteral("Bericht (Entwurf)"));
    addUnit(QString());
    EXPECT_EQ(list.entries().at(0).displayText, QStringLiteral("Bericht (Entwurf)"));
    EXPECT_EQ(list.entries().at(1).displayText, QString());
}

TEST_F(WorklistTest, AddEntryStatusAndDateRules) {
    setNow(9, 0, 30); // Monday 07.12.2026
    struct Case {
        const char* what;
        QDateTime start;
        int minutes;
        bool fixed;
        QString status;
        QString wantStatus;
        QString wantMode;
        QString wantDate;
        bool wantAutoStart;
    };
    const Case cases[] = {
        {"fixed pending whose time passed today goes to tomorrow", wallAt(2026, 12, 7, 8, 0), 25, true,
         pending, pending, QStringLiteral("F"), QStringLiteral("08.12.2026"), false},
        {"fixed pending later today keeps today", wallAt(2026, 12, 7, 10, 0), 25, true, pending, pending,
         QStringLiteral("F"), QStringLiteral("07.12.2026"), false},
        {"fixed pending on a later day keeps that day", wallAt(2026, 12, 24, 18, 0), 25, true, pending,
         pending, QStringLiteral("F"), QStringLiteral("24.12.2026"), false},
        {"fixed pending on a past day goes to tomorrow", wallAt(2026, 12, 1, 18, 0), 25, true, pending,
         pending, QStringLiteral("F"), QStringLiteral("08.12.2026"), false},
        {"fixed pending at this very minute has passed by the seconds", wallAt(2026, 12, 7, 9, 0), 25, true,
         pending, pending, QStringLiteral("F"), QStringLiteral("08.12.2026"), false},
        {"relative pending is dated today", wallAt(2026, 12, 3, 0, 0), 25, false, pending, pending,
         QStringLiteral("R"), QStringLiteral("07.12.2026"), false},
        {"finished keeps the day of its start", wallAt(2026, 12, 5, 8, 0), 25, true, done, done,
         QStringLiteral("F"), QStringLiteral("05.12.2026"), false},
        {"running fixed, end ahead, stays running", wallAt(2026, 12, 7, 8, 50), 25, true, running, running,
         QStringLiteral("F"), QStringLiteral("07.12.2026"), false},
        {"running fixed, end passed, re-plans", wallAt(2026, 12, 7, 8, 30), 25, true, running, pending,
         QStringLiteral("R"), QStringLiteral("07.12.2026"), true},
        {"running relative, end ahead, becomes pending", wallAt(2026, 12, 7, 8, 50), 25, false, running,
         pending, QStringLiteral("R"), QStringLiteral("07.12.2026"), false},
        // (the schedule then moves the first open relative entry to now, dated today)
        {"running relative, end passed, re-plans", wallAt(2026, 12, 6, 8, 50), 25, false, running, pending,
         QStringLiteral("R"), QStringLiteral("07.12.2026"), true},
        {"running fixed ending within the millisecond rule stays", plantime::now(clock).addSecs(-25 * 60), 25,
         true, running, running, QStringLiteral("F"), QStringLiteral("07.12.2026"), false},
    };
    for (const Case& c : cases) {
        RecordingHost h;
        Worklist fresh(clock, settings, h);
        fresh.AddEntry(QStringLiteral("A"), false, c.start, c.minutes, c.fixed, c.status);
        ASSERT_EQ(fresh.entries().size(), 1) << c.what;
        const PlanEntry& e = fresh.entries().first();
        EXPECT_EQ(e.status, c.wantStatus) << c.what;
        EXPECT_EQ(e.date, c.wantDate) << c.what;
        EXPECT_EQ(fresh.automaticStartFlag, c.wantAutoStart) << c.what;
        if (c.wantMode == QStringLiteral("F")) {
            EXPECT_EQ(e.startMode, c.wantMode) << c.what;
        }
        EXPECT_EQ(e.conflictMark, QString()) << c.what;
        EXPECT_EQ(h.timerRestarts, 1) << c.what;
        EXPECT_GE(h.entriesChangedCalls, 1) << c.what;
        ASSERT_FALSE(h.captions.isEmpty()) << c.what;
        EXPECT_EQ(h.captions.last(), fresh.caption()) << c.what;
    }
}

TEST_F(WorklistTest, QueriesOnAMixedPlan) {
    setNow(9, 0);
    list.AddEntry(QStringLiteral("Fertig"), false, wallAt(2026, 12, 7, 8, 0), 25, true, done);
    list.AddEntry(QStringLiteral("Läuft"), false, wallAt(2026, 12, 7, 8, 50), 25, true, running);
    addPause(10, QStringLiteral("Kaffee"));
    addUnit(QStringLiteral("Bericht"));
    addFixed(QStringLiteral("Morgen früh"), 7, 30); // passed today: tomorrow
    ASSERT_EQ(list.entries().size(), 5);
    ASSERT_EQ(list.entries().at(1).displayText, QStringLiteral("Läuft"));

    EXPECT_EQ(list.FirstOpenIndex(), 1);
    EXPECT_EQ(list.FirstOpenTomorrowIndex(), 4);
    EXPECT_EQ(list.NextPendingTitle(), QStringLiteral("Pause: 10 min (Kaffee)"));
    EXPECT_TRUE(list.NextPendingIsPause());
    EXPECT_EQ(list.NextPendingUnitTitle(), QStringLiteral("Bericht"));
    // Läuft ends 09:15; the pause follows at once, the unit after it.
    EXPECT_EQ(list.NextPendingStart(), wallAt(2026, 12, 7, 9, 15));
    EXPECT_EQ(list.NextPendingUnitStart(), wallAt(2026, 12, 7, 9, 25));

    // The tomorrow query skips only "x": a blinking unit of tomorrow would count.
    list.entries()[4].status = QStringLiteral("FERTIG1");
    EXPECT_EQ(list.FirstOpenTomorrowIndex(), 4);
    list.entries()[4].status = done;
    EXPECT_EQ(list.FirstOpenTomorrowIndex(), -1);
}

TEST_F(WorklistTest, QueriesWhenNothingMatches) {
    EXPECT_EQ(list.FirstOpenIndex(), -1);
    EXPECT_EQ(list.FirstOpenTomorrowIndex(), -1);
    EXPECT_EQ(list.NextPendingTitle(), QString());
    EXPECT_EQ(list.NextPendingUnitTitle(), QString());
    EXPECT_FALSE(list.NextPendingIsPause());
    EXPECT_FALSE(list.NextPendingStart().isValid());
    EXPECT_FALSE(list.NextPendingUnitStart().isValid());

    // All finished: no open entry.
    list.AddEntry(QStringLiteral("A"), false, wallAt(2026, 12, 7, 8, 0), 25, true, done);
    list.AddEntry(QStringLiteral("B"), false, wallAt(2026, 12, 7, 8, 30), 25, true, done);
    EXPECT_EQ(list.FirstOpenIndex(), -1);

    // The only open entry runs: nothing is pending.
    list.AddEntry(QStringLiteral("C"), false, wallAt(2026, 12, 7, 8, 50), 25, true, running);
    EXPECT_EQ(list.FirstOpenIndex(), 2);
    EXPECT_FALSE(list.NextPendingStart().isValid());
    EXPECT_FALSE(list.NextPendingUnitStart().isValid());
    EXPECT_FALSE(list.NextPendingIsPause());

    // Only a pause is pending: there is no pending unit.
    addPause(5);
    EXPECT_TRUE(list.NextPendingIsPause());
    EXPECT_EQ(list.NextPendingUnitTitle(), QString());
    EXPECT_FALSE(list.NextPendingUnitStart().isValid());
}

TEST_F(WorklistTest, CountsIncludeRemovedFinishedUnits) {
    setNow(12, 0);
    for (int h = 8; h < 11; ++h)
        list.AddEntry(QStringLiteral("Fertig %1").arg(h), false, wallAt(2026, 12, 7, h, 0), 25, true, done);
    list.AddEntry(QStringLiteral("p 10"), true, wallAt(2026, 12, 7, 11, 0), 10, true, done);
    addUnit(QStringLiteral("Offen"));
    addUnit(QStringLiteral("Blinkt"));
    addFixed(QStringLiteral("Morgen"), 7, 0);
    // "Blinkt" was started (which fixes its start) and counts from the moment it blinks.
    ASSERT_EQ(list.entries()[5].displayText, QStringLiteral("Blinkt"));
    list.entries()[5].status = QStringLiteral("FERTIG1");
    list.entries()[5].startMode = QStringLiteral("F");
    list.RecomputeSchedule();

    // Done: three units, the pause loaded as "x", the blinking unit. Planned today: units
    // dated today of any status (not the pause, not tomorrow's unit).
    EXPECT_EQ(list.DoneCount(), 5);
    EXPECT_EQ(list.PlannedTodayCount(), 5);
    EXPECT_EQ(list.caption(), QStringLiteral("Taktplan (5/5)"));

    // "Fertige Einheiten entfernen" takes the three "x" units out and remembers them.
    list.entries().removeIf([](const PlanEntry& e) { return e.isUnit() && e.status == QLatin1String("x"); });
    list.removedDoneCount += 3;
    list.RecomputeSchedule();
    EXPECT_EQ(list.DoneCount(), 5);
    EXPECT_EQ(list.PlannedTodayCount(), 5);

    // The next day both lose those three again (and yesterday's pause goes).
    clock.set(QDate(2026, 12, 8), QTime(7, 0));
    list.RecomputeSchedule();
    EXPECT_EQ(list.removedDoneCount, 0);
    EXPECT_EQ(list.DoneCount(), 1); // "Blinkt" still blinks, whatever its date
    EXPECT_EQ(list.PlannedTodayCount(), 2);
}

TEST_F(WorklistTest, PurgeOldFinishedRemovesOnlyOldCrosses) {
    setNow(12, 0);
    list.AddEntry(QStringLiteral("alt 1"), false, wallAt(2026, 12, 5, 8, 0), 25, true, done);
    list.AddEntry(QStringLiteral("alt 2"), false, wallAt(2026, 12, 5, 9, 0), 25, true, done);
    list.AddEntry(QStringLiteral("blinkt alt"), false, wallAt(2026, 12, 6, 8, 0), 25, true, done);
    list.entries()[2].status = QStringLiteral("FERTIG2");
    list.AddEntry(QStringLiteral("heute"), false, wallAt(2026, 12, 7, 8, 0), 25, true, done);
    list.AddEntry(QStringLiteral("morgen"), false, wallAt(2026, 12, 8, 8, 0), 25, true, pending);
    list.entries().last().date = QStringLiteral("01.12.2026"); // an open entry of an old date stays
    list.removedDoneCount = 4;
    host.entriesChangedCalls = 0;

    list.PurgeOldFinished();

    QStringList titles;
    for (const PlanEntry& e : list.entries())
        titles.append(e.displayText);
    EXPECT_EQ(titles,
              QStringList({QStringLiteral("blinkt alt"), QStringLiteral("heute"), QStringLiteral("morgen")}));
    EXPECT_EQ(list.removedDoneCount, 0);
    EXPECT_EQ(host.entriesChangedCalls, 1);
}

TEST_F(WorklistTest, ClearOpenEntriesKeepsFinished) {
    list.AddEntry(QStringLiteral("Fertig"), false, wallAt(2026, 12, 7, 8, 0), 25, true, done);
    list.AddEntry(QStringLiteral("Blinkt"), false, wallAt(2026, 12, 7, 8, 30), 25, true, done);
    list.entries()[1].status = QStringLiteral("FERTIG1");
    list.AddEntry(QStringLiteral("Läuft"), false, wallAt(2026, 12, 7, 8, 55), 25, true, running);
    addUnit(QStringLiteral("A"));
    addPause(5);
    ASSERT_EQ(list.entries().size(), 5);

    list.ClearOpenEntries();

    QStringList kept;
    for (const PlanEntry& e : list.entries())
        kept.append(e.displayText);
    EXPECT_EQ(kept, QStringList({QStringLiteral("Fertig"), QStringLiteral("Blinkt")}));
    EXPECT_EQ(list.caption(), QStringLiteral("Taktplan (2/2)"));
}

TEST_F(WorklistTest, TodaysFinishedUnitsFromTheActivityLog) {
    setNow(12, 0);
    DebugLog debugLog(clock);
    ScriptedUi ui;
    settings.StandardDauerEinheit = 30;
    ActivityLog log(clock, settings, debugLog, ui);
    log.setLines({
        QString(),
        QStringLiteral("So, 06.12.2026 09:00|25 Gestern [x]"),
        QStringLiteral("Mo, 07.12.2026 08:00|25 Bericht [x]"),
        QStringLiteral("Mo, 07.12.2026 08:30|10 p 10 Kaffee [x]"),
        QStringLiteral("Mo, 07.12.2026 08:40|5 P [x]"),
        QStringLiteral("Mo, 07.12.2026 08:45|5 p [x]"),
        QStringLiteral("Mo, 07.12.2026 08:50|25 pause [x]"),
        QStringLiteral("Mo, 07.12.2026 09:15|25 Pläne [x]"),
        QStringLiteral("Mo, 07.12.2026 09:40 Alte Zeile [x]"),
        QStringLiteral("Mo, 07.12.2026 10:30|25 Abgebrochen"),
    });

    list.LoadTodaysFinishedUnits(log);

    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|08:00|08:25|Bericht|F|E|25|x|07.12.2026|"),
                              QStringLiteral("|08:30|08:40|Pause: 10 min (p 10 Kaffee)|F|P|10|x|07.12.2026|"),
                              QStringLiteral("|08:40|08:45|Pause: 5 min (P)|F|P|5|x|07.12.2026|"),
                              QStringLiteral("|08:45|08:50|Pause: 5 min (p)|F|P|5|x|07.12.2026|"),
                              QStringLiteral("2|08:50|09:15|pause|F|E|25|x|07.12.2026|"),
                              QStringLiteral("3|09:15|09:40|Pläne|F|E|25|x|07.12.2026|"),
                              QStringLiteral("4|09:40|10:10|Alte Zeile|F|E|30|x|07.12.2026|"),
                          }));
    EXPECT_EQ(list.DoneCount(), 7);
    EXPECT_EQ(list.PlannedTodayCount(), 4);
}

} // namespace
