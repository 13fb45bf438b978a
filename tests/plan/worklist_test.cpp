#include "plan_fixture.h"

#include "activity_log.h"
#include "debug_log.h"
#include "scripted_ui.h"

namespace {

using namespace Qt::StringLiterals;
using WorklistTest = PlanTest;

const QString worklistCases = QStringLiteral(PLAN_TEST_DATA "/worklist.txt");

TEST_F(WorklistTest, AddEntryStatusAndDateRules) {
    setNow(9, 0, 30);
    for (const CaseRow& c : caseTable(worklistCases, u"add"_s)) {
        RecordingHost h;
        Worklist fresh(clock, settings, h);
        fresh.AddEntry(u"A"_s, false, at(c[0]), 25, c[1] == u"fixed"_s, c[2]);
        ASSERT_EQ(fresh.entries().size(), 1) << c.where.toStdString();
        const PlanEntry& e = fresh.entries().first();
        // No conflict mark either, and the window shows the new caption.
        EXPECT_EQ(QStringList({e.status, e.startMode + e.conflictMark, e.date,
                               fresh.automaticStartFlag() ? u"yes"_s : u"no"_s, h.caption}),
                  QStringList({c[3], c[4], plantime::formatDate(QDate(2026, 12, c.number(5))), c[6],
                               fresh.caption()}))
            << c.where.toStdString();
    }
}

TEST_F(WorklistTest, QueriesAsThePlanFills) {
    auto noPendingUnit = [this] {
        return list.NextPendingUnitTitle().isEmpty() && !list.NextPendingUnitStart().isValid();
    };
    EXPECT_EQ(QList<int>({list.FirstOpenIndex(), list.FirstOpenTomorrowIndex()}), QList<int>({-1, -1}));
    EXPECT_EQ(list.NextPendingTitle(), QString());
    EXPECT_TRUE(noPendingUnit());

    // Finished and running entries are open or not, but never pending.
    add(u"Fertig"_s, dec(7, 8, 0), "x");
    add(u"Läuft"_s, dec(7, 8, 50), "WIP");
    EXPECT_EQ(list.FirstOpenIndex(), 1);
    EXPECT_FALSE(list.NextPendingStart().isValid());
    EXPECT_FALSE(list.NextPendingIsPause());

    addPause(10, u"Kaffee"_s);
    EXPECT_TRUE(list.NextPendingIsPause());
    EXPECT_TRUE(noPendingUnit());

    addUnit(u"Bericht"_s);
    add(u"Morgen früh"_s, dec(8, 7, 30), " ");
    EXPECT_EQ(list.FirstOpenTomorrowIndex(), 4);
    EXPECT_EQ(list.NextPendingTitle(), u"Pause: 10 min (Kaffee)"_s);
    EXPECT_EQ(list.NextPendingUnitTitle(), u"Bericht"_s);
    // "Läuft" ends 09:15; the pause follows at once, the unit after it.
    EXPECT_EQ(list.NextPendingStart(), dec(7, 9, 15));
    EXPECT_EQ(list.NextPendingUnitStart(), dec(7, 9, 25));

    // The tomorrow query skips only "x": a blinking unit of tomorrow would count.
    list.editEntry(4).status = u"FERTIG1"_s;
    EXPECT_EQ(list.FirstOpenTomorrowIndex(), 4);
    list.editEntry(4).status = u"x"_s;
    EXPECT_EQ(list.FirstOpenTomorrowIndex(), -1);
}

TEST_F(WorklistTest, CountsIncludeRemovedFinishedUnits) {
    setNow(12, 0);
    for (int h = 8; h < 11; ++h)
        add(u"Fertig %1"_s.arg(h), dec(7, h, 0), "x");
    add(u"p 10"_s, dec(7, 11, 0), "x", 10, true, true);
    addUnit(u"Offen"_s);
    addUnit(u"Blinkt"_s);
    add(u"Morgen"_s, dec(8, 7, 0), " ");
    // "Blinkt" was started (which fixes its start) and counts from the moment it blinks.
    ASSERT_EQ(list.editEntry(5).displayText, u"Blinkt"_s);
    list.editEntry(5).status = u"FERTIG1"_s;
    list.editEntry(5).startMode = u"F"_s;
    list.RecomputeSchedule();
    // Done: three units, the pause, the blinking unit. Planned today: today's units of any status.
    EXPECT_EQ(list.caption(), u"Taktplan (5/5)"_s);

    // "Fertige Einheiten entfernen" takes every finished entry out (the blinking unit and the
    // loaded pause too) and remembers them; the done count stays, the pause now counts as planned.
    EXPECT_EQ(list.removeFinished(), 5);
    EXPECT_EQ(titles(list), u"Offen, Morgen"_s);
    EXPECT_EQ(list.removedDoneCount(), 5);
    EXPECT_EQ(list.caption(), u"Taktplan (5/6)"_s);
}

TEST_F(WorklistTest, PurgeRemovesOldCrossesAndClearKeepsFinished) {
    setNow(12, 0);
    add(u"weg"_s, dec(7, 7, 0), "x");
    list.removeFinished();
    add(u"alt"_s, dec(5, 8, 0), "x");
    add(u"blinkt alt"_s, dec(6, 8, 0), "x");
    list.editEntry(1).status = u"FERTIG2"_s;
    add(u"heute"_s, dec(7, 8, 0), "x");
    add(u"offen alt"_s, dec(8, 8, 0), " ");
    list.editEntry(3).date = u"01.12.2026"_s;
    ASSERT_EQ(list.removedDoneCount(), 1);
    list.PurgeOldFinished();
    EXPECT_EQ(titles(list), u"blinkt alt, heute, offen alt"_s);
    EXPECT_EQ(list.removedDoneCount(), 0);

    // Clearing takes every open entry, running ones included, and leaves the finished ones.
    add(u"Läuft"_s, dec(7, 11, 55), "WIP");
    addPause(5);
    list.ClearOpenEntries();
    EXPECT_EQ(titles(list), u"blinkt alt, heute"_s);
    // The old unit that still blinks stays in the list, but only today's count as done.
    EXPECT_EQ(list.caption(), u"Taktplan (1/1)"_s);
}

TEST_F(WorklistTest, TodaysFinishedUnitsFromTheActivityLog) {
    setNow(12, 0);
    DebugLog debugLog(clock);
    ScriptedUi ui;
    settings.StandardDauerEinheit = 30;
    ActivityLog log(clock, settings, debugLog, ui);
    log.setLines({QString(), u"So, 06.12.2026 09:00|25 Gestern [x]"_s,
                  u"Mo, 07.12.2026 08:00|25 Bericht [x]"_s, u"Mo, 07.12.2026 08:30|10 P 10 Kaffee [x]"_s,
                  u"Mo, 07.12.2026 08:40|5 p [x]"_s, u"Mo, 07.12.2026 08:45|25 pause [x]"_s,
                  u"Mo, 07.12.2026 09:10|25 Pläne [x]"_s, u"Mo, 07.12.2026 09:40 Alte Zeile [x]"_s,
                  u"Mo, 07.12.2026 10:30|25 Abgebrochen"_s});
    list.LoadTodaysFinishedUnits(log);
    EXPECT_EQ(rows(list), goldenRows("finished units from the activity log"));
    EXPECT_EQ(list.caption(), u"Taktplan (6/4)"_s);
}

TEST_F(WorklistTest, DeleteTakesOnlyTheSelectedOpenEntries) {
    for (const CaseRow& c : caseTable(worklistCases, u"delete"_s)) {
        SCOPED_TRACE(c.where.toStdString());
        run.isActive = false;
        list.ClearOpenEntries();
        list.removeFinished();
        addPlan(u"Fertig/E/08:00/25/x; A/E/-; B/E/-; /P/-; C/E/-"_s);
        run.isActive = c[1] == u"yes"_s;
        EXPECT_EQ(list.deleteOpenEntries(numbers(c[0])), c.number(2));
        EXPECT_EQ(titles(list), c[3]);
        // The rest is re-planned at once.
        EXPECT_EQ(list.entries().at(1).startTime, u"09:00"_s);
    }
}

TEST_F(WorklistTest, FinishBlinkAlternatesFourteenTimesThenMarksDone) {
    // A blink whose row is gone ends at once, and the next unit blinks its full length again.
    add(u"Weg"_s, dec(7, 8, 50), "WIP");
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(list.finishBlinkStep());
    EXPECT_EQ(list.removeFinished(), 1);
    EXPECT_FALSE(list.finishBlinkStep());
    add(u"Nächste"_s, dec(7, 8, 50), "WIP");
    int steps = 0;
    while (list.finishBlinkStep())
        ++steps;
    EXPECT_EQ(steps, 14);
    EXPECT_EQ(list.caption(), u"Taktplan (2/2)"_s);

    // The unit that blinks: running or already blinking.
    for (const CaseRow& c : caseTable(worklistCases, u"blink"_s)) {
        list.ClearOpenEntries();
        list.removeFinished();
        addPlan(u"Eins/"_s + c[0] + u"/7 08:50/25/WIP; Zwei/E/10:00"_s);
        list.editEntry(0).status = c[1];
        QString seen;
        while (list.finishBlinkStep() && seen.size() < 20)
            seen += list.entries().at(0).status.right(1);
        EXPECT_EQ(seen, c[2]) << c.where.toStdString();
        EXPECT_EQ(list.entries().at(0).status + u'/' + list.entries().at(1).status, c[3])
            << c.where.toStdString();
    }
}

} // namespace
