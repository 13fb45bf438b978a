#include "plan_fixture.h"

#include "activity_log.h"
#include "debug_log.h"
#include "scripted_ui.h"

namespace {

using namespace Qt::StringLiterals;
using WorklistTest = PlanTest;

TEST_F(WorklistTest, AddEntryStatusAndDateRules) {
    setNow(9, 0, 30);
    const struct {
        const char *what, *status, *wantStatus;
        QDateTime start;
        bool fixed;
        int wantDay;
        bool autoStart;
        const char* mode = "F";
    } cases[] = {
        // A fixed start keeps its day; one that has come turns relative and starts now.
        {"fixed, passed today: due, it starts now", " ", " ", dec(7, 8, 0), true, 7, false, "R"},
        {"fixed, later today", " ", " ", dec(7, 10, 0), true, 7, false},
        {"fixed, a later day", " ", " ", dec(24, 18, 0), true, 24, false},
        {"fixed, a past day (later time of day): due, it starts now", " ", " ", dec(1, 18, 0), true, 7, false,
         "R"},
        {"fixed, this minute has passed by the seconds", " ", " ", dec(7, 9, 0), true, 7, false, "R"},
        {"relative: today", " ", " ", dec(3, 0, 0), false, 7, false, "R"},
        {"finished keeps the day of its start", "x", "x", dec(5, 8, 0), true, 5, false},
        {"running fixed, end ahead", "WIP", "WIP", dec(7, 8, 50), true, 7, false},
        {"running fixed, end passed: re-planned", "WIP", " ", dec(7, 8, 30), true, 7, true, "R"},
        {"running relative, end ahead: pending", "WIP", " ", dec(7, 8, 50), false, 7, false, "R"},
        {"running relative, end passed: re-planned", "WIP", " ", dec(6, 8, 50), false, 7, true, "R"},
        {"running fixed, ends within the millisecond", "WIP", "WIP", plantime::now(clock).addSecs(-25 * 60),
         true, 7, false},
    };
    for (const auto& c : cases) {
        RecordingHost h;
        Worklist fresh(clock, settings, h);
        fresh.AddEntry(u"A"_s, false, c.start, 25, c.fixed, QString::fromLatin1(c.status));
        ASSERT_EQ(fresh.entries().size(), 1) << c.what;
        const PlanEntry& e = fresh.entries().first();
        // No conflict mark either.
        EXPECT_EQ(QStringList({e.status, e.startMode + e.conflictMark, e.date}),
                  QStringList({QString::fromLatin1(c.wantStatus), QString::fromLatin1(c.mode),
                               plantime::formatDate(QDate(2026, 12, c.wantDay))}))
            << c.what;
        EXPECT_EQ(fresh.automaticStartFlag(), c.autoStart) << c.what;
        // The view learns of the change and the update timer starts over.
        EXPECT_TRUE(h.timerRestarts == 1 && h.entriesChangedCalls >= 1 &&
                    h.captions.endsWith(fresh.caption()))
            << c.what;
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
    EXPECT_EQ(titles(list), QStringList({u"Offen"_s, u"Morgen"_s}));
    EXPECT_EQ(list.removedDoneCount(), 5);
    EXPECT_EQ(list.caption(), u"Taktplan (5/6)"_s);
    list.editEntry(0).status = u"FERTIG1"_s;
    list.editEntry(0).startMode = u"F"_s;
    EXPECT_EQ(list.removeFinished(), 1);
    EXPECT_EQ(list.DoneCount(), 6);
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
    host.entriesChangedCalls = 0;
    list.PurgeOldFinished();
    EXPECT_EQ(titles(list), QStringList({u"blinkt alt"_s, u"heute"_s, u"offen alt"_s}));
    EXPECT_EQ(list.removedDoneCount(), 0);
    EXPECT_EQ(host.entriesChangedCalls, 1);

    // Clearing takes every open entry, running ones included, and leaves the finished ones.
    add(u"Läuft"_s, dec(7, 11, 55), "WIP");
    addPause(5);
    list.ClearOpenEntries();
    EXPECT_EQ(titles(list), QStringList({u"blinkt alt"_s, u"heute"_s}));
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
    const struct {
        const char* what;
        QList<int> rows;
        bool running;
        int removed;
        const char* left;
    } cases[] = {
        {"finished rows stay", {0, 1}, false, 1, "Fertig,B,Pause: 25 min,C"},
        {"any order, twice", {4, 2, 4}, false, 2, "Fertig,A,Pause: 25 min"},
        {"rows that are not there", {-1, 5, 99}, false, 0, "Fertig,A,B,Pause: 25 min,C"},
        {"nothing while a plan runs", {1, 2}, true, 0, "Fertig,A,B,Pause: 25 min,C"},
    };
    for (const auto& c : cases) {
        RecordingHost h;
        Worklist fresh(clock, settings, h);
        run.isActive = c.running;
        fresh.setRunControl(&run);
        fresh.AddEntry(u"Fertig"_s, false, dec(7, 8, 0), 25, true, u"x"_s);
        for (const QString& t : {u"A"_s, u"B"_s})
            fresh.AddEntry(t, false, dec(7, 9, 0), 25, false, u" "_s);
        fresh.AddEntry(QString(), true, dec(7, 9, 0), 25, false, u" "_s);
        fresh.AddEntry(u"C"_s, false, dec(7, 9, 0), 25, false, u" "_s);
        const int changes = h.entriesChangedCalls;
        EXPECT_EQ(fresh.deleteOpenEntries(c.rows), c.removed) << c.what;
        EXPECT_EQ(titles(fresh).join(u','), QString::fromUtf8(c.left)) << c.what;
        // The rest is re-planned at once and the view told.
        if (c.removed > 0) {
            EXPECT_TRUE(h.entriesChangedCalls > changes && fresh.entries().at(1).startTime == u"09:00"_s)
                << c.what;
        }
    }
}

TEST_F(WorklistTest, FinishBlinkAlternatesFourteenTimesThenMarksDone) {
    // The unit that blinks: running or already blinking; a pause never blinks.
    const struct {
        const char* what;
        bool pause;
        const char* status;
        int steps;
    } cases[] = {{"running unit", false, "WIP", 14},
                 {"blinking unit", false, "FERTIG1", 14},
                 {"running pause", true, "WIP", 0}};
    for (const auto& c : cases) {
        RecordingHost h;
        Worklist fresh(clock, settings, h);
        fresh.AddEntry(u"Eins"_s, c.pause, dec(7, 8, 50), 25, true, u"WIP"_s);
        fresh.editEntry(0).status = QString::fromLatin1(c.status);
        fresh.AddEntry(u"Zwei"_s, false, dec(7, 10, 0), 25, true, u" "_s);
        QString seen;
        int steps = 0;
        while (fresh.finishBlinkStep() && steps < 20) {
            seen += fresh.entries().at(0).status.right(1);
            ++steps;
        }
        EXPECT_EQ(steps, c.steps) << c.what;
        EXPECT_EQ(seen, u"21212121212121"_s.left(c.steps)) << c.what;
        EXPECT_EQ(fresh.entries().at(0).status, c.pause ? u"WIP"_s : u"x"_s) << c.what;
        EXPECT_EQ(fresh.entries().at(1).status, u" "_s) << c.what;
    }

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
}

} // namespace
