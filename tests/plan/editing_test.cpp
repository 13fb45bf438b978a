// Editing the selected rows of the plan list: each command against multi-row selections with
// finished rows among them, the first and last rows, pauses and the row above, fixed and
// relative entries, and moves across midnight.

#include "plan_fixture.h"

namespace {

using namespace Qt::StringLiterals;

QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// One entry to start a case from: kind 'E' or 'P', fixed at h:m on a day of December 2026
// (today, the 7th, unless told), or relative when h < 0.
struct Row {
    const char* title;
    char kind;
    int h, m;
    int minutes = 25;
    const char* status = " ";
    int day = 7;
};

class EditingTest : public PlanTest {
protected:
    EditingTest() { setNow(9, 0, 40); }
    void build(std::initializer_list<Row> plan) {
        list.ClearOpenEntries();
        list.removeFinished();
        for (const Row& r : plan) {
            const QDateTime start = r.h < 0 ? plantime::now(clock) : dec(r.day, r.h, r.m);
            add(u8(r.title), start, r.status, r.minutes, r.h >= 0, r.kind == 'P');
        }
    }
    // Finished unit, relative A, titled pause, relative B, finished pause at 11:00, fixed C at 12:00:
    // 08:00 Fertig, 09:00 A, 09:25 pause, 09:35 B, 11:00 pause, 12:00 C.
    void mixedPlan() {
        build({{"Fertig", 'E', 8, 0, 25, "x"},
               {"A", 'E', -1, 0},
               {"Tee (grün)", 'P', -1, 0, 10},
               {"B", 'E', -1, 0},
               {"", 'P', 11, 0, 5, "x"},
               {"C", 'E', 12, 0}});
    }
    // One text per row, joined by ", ".
    QString each(const std::function<QString(const PlanEntry&)>& text) const {
        QStringList out;
        for (const PlanEntry& e : list.entries())
            out.append(text(e));
        return out.join(u", "_s);
    }
    QString titlesNow() const {
        return each([](const PlanEntry& e) { return e.displayText; });
    }
};

TEST_F(EditingTest, RenameByTheFirstSelectedEntry) {
    using Why = TypedEntry::Adjustment;
    const char* const unchanged = "Fertig, A, Pause: 10 min (Tee (grün)), B, Pause: 5 min, C";
    // clang-format off
    const struct { const char* what; QList<int> rows; const char* text; const char* prefill; const char* want;
                   Why why = Why::None; std::initializer_list<Row> plan = {}; } cases[] = {
        {"first selected finished", {2, 0, 1}, "Neu", nullptr, unchanged},
        {"no row", {}, "Neu", nullptr, unchanged},
        {"a unit first: the open units", {5, 1, 2, 3}, "Neu", "A",
         "Fertig, Neu, Pause: 10 min (Tee (grün)), Neu, Pause: 5 min, Neu"},
        {"a pause first: every pause", {2, 3, 4}, "Kaffee", "Tee (grün)",
         "Fertig, A, Pause: 10 min (Kaffee), B, Pause: 5 min (Kaffee), C"},
        {"an empty pause title", {2}, "", "Tee (grün)", "Fertig, A, Pause: 10 min, B, Pause: 5 min, C"},
        {"a title the file would read as a pause", {1}, "Pause: 5 min", "A",
         "Fertig, Pause 5 min, Pause: 10 min (Tee (grün)), B, Pause: 5 min, C", Why::PausePrefix},
        {"a title the log would read as finished", {1}, "Bericht [x]", "A",
         "Fertig, Bericht (x), Pause: 10 min (Tee (grün)), B, Pause: 5 min, C", Why::FinishMark},
        {"a title that is the finish mark", {1}, "[x]", "A",
         "Fertig, (x), Pause: 10 min (Tee (grün)), B, Pause: 5 min, C", Why::FinishMark},
        {"a finished unit after an open one stays", {0, 1, 2}, "Neu", "A", "Neu, Neu, Fertig", Why::None,
         {{"A", 'E', -1, 0}, {"B", 'E', -1, 0}, {"Fertig", 'E', 10, 0, 25, "x"}}},
    };
    // clang-format on
    for (const auto& c : cases) {
        c.plan.size() ? build(c.plan) : mixedPlan();
        EXPECT_EQ(list.renamePrefill(c.rows).value_or(u"-"_s), c.prefill ? u8(c.prefill) : u"-"_s) << c.what;
        EXPECT_EQ(list.renameEntries(c.rows, u8(c.text)), c.why) << c.what;
        EXPECT_EQ(titlesNow(), u8(c.want)) << c.what;
    }
}

TEST_F(EditingTest, StartTimeTypedForOneEntry) {
    // clang-format off
    const struct { const char* what; int row; const char* text; bool changed; const char* want; } cases[] = {
        {"later today: fixed", 1, "10:30", true, "10:30|10:55|F|07.12.2026"},
        {"passed today: tomorrow", 1, "08:59", true, "08:59|09:24|F|08.12.2026"},
        {"the current minute stays today", 1, "9:00:00", true, "09:00|09:25|F|07.12.2026"},
        {"the unchanged text changes nothing", 1, "09:00", false, "09:00|09:25|R|07.12.2026"},
        {"empty: relative again", 5, "", true, "12:00|12:25|R|07.12.2026"},
        {"not a time", 5, "25:00", false, "12:00|12:25|F|07.12.2026"},
        {"a finished entry", 0, "10:00", false, "08:00|08:25|F|07.12.2026"},
    };
    // clang-format on
    for (const auto& c : cases) {
        mixedPlan();
        EXPECT_EQ(list.setStartTime(c.row, u8(c.text)), c.changed) << c.what;
        const PlanEntry& e = list.entries().at(c.row);
        EXPECT_EQ(QStringList({e.startTime, e.endTime, e.startMode, e.date}).join(u'|'), u8(c.want))
            << c.what;
    }
    EXPECT_EQ(list.startTimePrefill({3, 1}), u"09:00"_s);
    EXPECT_EQ(list.startTimePrefill({4, 0}), std::nullopt);
}

TEST_F(EditingTest, DatesAndFixedStartsOfSeveralRows) {
    mixedPlan();
    const QList<int> all = {0, 1, 2, 3, 4, 5};
    // One step after the other on the same plan; start mode and day.month of every row afterwards.
    // clang-format off
    const struct { const char* what; std::function<int()> command; int changed; const char* want; } steps[] = {
        {"not a date", [&] { return list.setDates(all, u"31.02.2027"_s); }, 0,
         "F07.12, R07.12, R07.12, R07.12, F07.12, F07.12"},
        {"a date is written in full", [&] { return list.setDates({5, 0}, u"1.1.2027"_s); }, 1,
         "F07.12, R07.12, R07.12, R07.12, F07.12, F01.01.2027"},
        {"open rows dated and fixed", [&] { return list.setDates(all, u"24.12.2026"_s); }, 4,
         "F07.12, F24.12, F24.12, F24.12, F07.12, F24.12"},
        // A's fixed 09:00 has come: it follows on from now again.
        {"open rows today again", [&] { return list.resetDates(all); }, 4,
         "F07.12, R07.12, F07.12, F07.12, F07.12, F07.12"},
        {"open rows relative", [&] { return list.clearStartTimes(all); }, 4,
         "F07.12, R07.12, R07.12, R07.12, F07.12, R07.12"},
    };
    // clang-format on
    for (const auto& s : steps) {
        EXPECT_EQ(s.command(), s.changed) << s.what;
        EXPECT_EQ(each([](const PlanEntry& e) {
                      return e.startMode + (e.date.startsWith(u"01.01"_s) ? e.date : e.date.left(5));
                  }),
                  u8(s.want))
            << s.what;
    }
    EXPECT_EQ(list.datePrefill({2}), u"07.12.2026"_s);
    EXPECT_EQ(list.datePrefill({0, 2}), std::nullopt);
}

TEST_F(EditingTest, OneMinuteEarlierAndLater) {
    // times > 0: that many minutes later; < 0: earlier. want: start-end mode text [date if not today].
    // clang-format off
    const struct { const char* what; std::initializer_list<Row> plan; QList<int> rows; int times;
                   const char* want; } cases[] = {
        {"a minute after a unit above: stays", {{"U", 'E', 10, 0}, {"V", 'E', 10, 26}}, {1}, -1,
         "10:00-10:25 F U, 10:26-10:51 F V"},
        {"down to a minute after a unit above", {{"U", 'E', 10, 0}, {"V", 'E', 10, 28}}, {1}, -3,
         "10:00-10:25 F U, 10:26-10:51 F V"},
        {"down to the very end of a pause above", {{"P", 'P', 10, 0, 10}, {"V", 'E', 10, 11}}, {1}, -3,
         "10:00-10:10 F Pause: 10 min (P), 10:10-10:35 F V"},
        {"a finished unit above holds nothing", {{"U", 'E', 8, 30, 25, "x"}, {"V", 'E', 10, 0}}, {1}, -2,
         "08:30-08:55 F U, 09:58-10:23 F V"},
        {"the first row; a start that has come turns relative", {{"V", 'E', 9, 2}}, {0}, -2,
         "09:00-09:25 R V"},
        {"another day than the row above: back across midnight",
         {{"U", 'E', 23, 40, 20}, {"V", 'E', 0, 0, 25, " ", 8}}, {1}, -1,
         "23:40-00:00 F U, 23:59-00:24 F V"},
        {"later across midnight", {{"V", 'E', 23, 59}}, {0}, 2, "00:01-00:26 F V 08.12.2026"},
        {"pauses of any state grow, each with its own title",
         {{"Tee", 'P', 8, 0, 5, "x"}, {"U", 'E', 8, 30, 25, "x"}, {"", 'P', 10, 0, 0}, {"Obst", 'P', 11, 0, 10}},
         {0, 1, 2, 3}, 2,
         "08:00-08:07 F Pause: 7 min (Tee), 08:30-08:55 F U, 10:00-10:02 F Pause: 2 min, "
         "11:00-11:12 F Pause: 12 min (Obst)"},
        {"a pause never goes below 0", {{"", 'P', 10, 0, 1}, {"Obst", 'P', 11, 0, 10}}, {0, 1}, -2,
         "10:00-10:00 F Pause: 0 min, 11:00-11:08 F Pause: 8 min (Obst)"},
        {"a selected block moves together", {{"U", 'E', 10, 0}, {"V", 'E', 10, 30}}, {0, 1}, -5,
         "09:55-10:20 F U, 10:25-10:50 F V"},
    };
    // clang-format on
    for (const auto& c : cases) {
        build(c.plan);
        for (int i = 0; i < std::abs(c.times); ++i)
            c.times > 0 ? list.startOneMinuteLater(c.rows) : list.startOneMinuteEarlier(c.rows);
        EXPECT_EQ(each([](const PlanEntry& e) {
                      return e.startTime + u'-' + e.endTime + u' ' + e.startMode + u' ' + e.displayText +
                             (e.date == u"07.12.2026"_s ? QString() : u' ' + e.date);
                  }),
                  u8(c.want))
            << c.what;
    }
}

TEST_F(EditingTest, LengthsByTheFirstSelectedEntry) {
    settings.GrossePause = 15;
    settings.StandardDauerEinheit = 30;
    // clang-format off
    const struct { const char* what; QList<int> rows; const char* text; const char* want; bool taken = true; } cases[] = {
        {"units: the open ones, not pauses", {1, 2, 3, 5}, "40", "25 40 10 40 5 40"},
        {"units: no number gives the unit length", {1}, "abc", "25 30 10 25 5 25"},
        {"units: negative gives the unit length", {1}, "-5", "25 30 10 25 5 25"},
        {"units: none of no time, and no other length either", {1, 3}, "0", "25 25 10 25 5 25", false},
        {"pauses: every selected one, finished too", {2, 4, 3}, "0", "25 25 0 25 0 25"},
        {"pauses: negative gives the big pause", {2}, "-5", "25 25 15 25 5 25"},
        {"first selected finished: nothing", {0, 1, 2}, "40", "25 25 10 25 5 25"},
    };
    // clang-format on
    for (const auto& c : cases) {
        mixedPlan();
        EXPECT_EQ(list.setDurations(c.rows, u8(c.text)), c.taken) << c.what;
        EXPECT_EQ(each([](const PlanEntry& e) { return e.duration; }).replace(u", "_s, u" "_s), u8(c.want))
            << c.what;
    }
    // The selected pauses all take the first one's title, and a fixed one its new end.
    list.setDurations({2, 4}, u"3"_s);
    EXPECT_EQ(list.entries().at(4).displayText + list.entries().at(4).endTime,
              u"Pause: 3 min (Tee (grün))11:03"_s);
}

TEST_F(EditingTest, MovesUpDownAndDropped) {
    using Move = std::function<bool(Worklist&, quint64*)>;
    const auto drop = [](QList<int> rows, int target) {
        return Move([=](Worklist& l, quint64*) { return l.moveRowsBefore(rows, target), true; });
    };
    // clang-format off
    const struct { const char* what; Move move; const char* want; const char* firstMoved; bool acted = true; }
    cases[] = {
        {"a block up", [](Worklist& l, quint64* m) { return l.moveUp({2, 3}, m); }, "x, B, C, A, D, E", "B"},
        {"a block down", [](Worklist& l, quint64* m) { return l.moveDown({2, 3}, m); }, "x, A, D, B, C, E", "C"},
        {"the last row up", [](Worklist& l, quint64* m) { return l.moveUp({5}, m); }, "x, A, B, C, E, D", "E"},
        {"a finished row stops the block", [](Worklist& l, quint64* m) { return l.moveUp({1, 2}, m); },
         "x, A, B, C, D, E", ""},
        {"the first row selected: nothing at all", [](Worklist& l, quint64* m) { return l.moveUp({0, 3}, m); },
         "x, A, B, C, D, E", "", false},
        {"the last row selected: nothing at all", [](Worklist& l, quint64* m) { return l.moveDown({2, 5}, m); },
         "x, A, B, C, D, E", "", false},
        {"dropped before a row above", drop({3, 5}, 1), "x, C, E, A, B, D", ""},
        {"dropped below the last row", drop({1, 2}, -1), "x, C, D, E, A, B", ""},
        {"dropped onto a selected row: only those above it", drop({1, 4, 5}, 4), "x, B, C, A, D, E", ""},
    };
    // clang-format on
    for (const auto& c : cases) {
        build({{"x", 'E', 8, 0, 25, "x"},
               {"A", 'E', -1, 0},
               {"B", 'E', -1, 0},
               {"C", 'E', -1, 0},
               {"D", 'E', -1, 0},
               {"E", 'E', -1, 0}});
        quint64 moved = 0;
        EXPECT_EQ(c.move(list, &moved), c.acted) << c.what;
        EXPECT_EQ(titlesNow(), u8(c.want)) << c.what;
        EXPECT_EQ(moved ? list.entries().at(list.rowOf(moved)).displayText : QString(), u8(c.firstMoved))
            << c.what;
        // The relative units follow each other in their new order.
        EXPECT_EQ(list.entries().at(2).startTime, u"09:30"_s) << c.what;
    }
}

TEST_F(EditingTest, FixedEntriesEndByTheLastDateTheFileHolds) {
    // The plan file refuses an entry ending after 31.12.9999 23:59: no command may make one, or it
    // would be gone from the plan after a restart.
    const QDate today = clock.today();
    const QDate last(9999, 12, 31);
    // clang-format off
    const struct { const char* what; QDate day; int h, m, minutes; bool pause;
                   std::function<void(Worklist&)> edit; const char* want; } cases[] = {
        {"date past the end", today, 23, 50, 25, false,
         [](Worklist& l) { l.setDates({0}, u"31.12.9999"_s); }, "23:50|00:15|25|07.12.2026"},
        {"date that fits", today, 9, 0, 25, false,
         [](Worklist& l) { l.setDates({0}, u"31.12.9999"_s); }, "09:00|09:25|25|31.12.9999"},
        {"start time past the end", last, 9, 0, 25, false,
         [](Worklist& l) { l.setStartTime(0, u"23:59"_s); }, "09:00|09:25|25|31.12.9999"},
        {"length past the end", last, 23, 0, 25, false,
         [](Worklist& l) { l.setDurations({0}, u"60"_s); }, "23:00|23:25|25|31.12.9999"},
        {"length to the last minute", last, 23, 0, 25, false,
         [](Worklist& l) { l.setDurations({0}, u"59"_s); }, "23:00|23:59|59|31.12.9999"},
        {"pause one minute longer", last, 23, 30, 29, true,
         [](Worklist& l) { l.startOneMinuteLater({0}); }, "23:30|23:59|29|31.12.9999"},
        {"new unit length", last, 23, 0, 25, false,
         [](Worklist& l) { l.setPendingUnitLengths(60); }, "23:00|23:25|25|31.12.9999"},
    };
    // clang-format on
    for (const auto& c : cases) {
        list.ClearOpenEntries();
        add(u"X"_s, plantime::wall(c.day, QTime(c.h, c.m)), " ", c.minutes, true, c.pause);
        c.edit(list);
        const PlanEntry& e = list.entries().at(0);
        EXPECT_EQ(QStringList({e.startTime, e.endTime, e.duration, e.date}).join(u'|'), u8(c.want)) << c.what;
    }
}

} // namespace
