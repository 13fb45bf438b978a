// Editing the selected rows of the plan list: each command against multi-row selections with
// finished rows among them, the first and last rows, pauses and the row above, fixed and
// relative entries, and moves across midnight.

#include "plan_fixture.h"

namespace {

using namespace Qt::StringLiterals;

// One entry to start a case from: kind 'E' or 'P', fixed at h:m today unless relative (h < 0),
// or on another day of December.
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
    void build(std::initializer_list<Row> rowsIn) {
        for (const Row& r : rowsIn) {
            const bool relative = r.h < 0;
            const QDateTime start = relative ? plantime::now(clock) : dec(r.day, r.h, r.m);
            add(QString::fromUtf8(r.title), start, r.status, r.minutes, !relative, r.kind == 'P');
        }
    }
    // An empty plan again.
    void reset() {
        list.ClearOpenEntries();
        list.removeFinished();
    }
    // Finished unit, relative unit A, titled relative pause, relative unit B, a finished pause
    // at 11:00 and a fixed unit C at 12:00.
    void mixedPlan() {
        reset();
        build({{"Fertig", 'E', 8, 0, 25, "x"},
               {"A", 'E', -1, 0},
               {"Tee (grün)", 'P', -1, 0, 10},
               {"B", 'E', -1, 0},
               {"", 'P', 11, 0, 5, "x"},
               {"C", 'E', 12, 0}});
    }
    // start|end|mode|text|date of every row.
    QStringList shown() const {
        QStringList out;
        for (const PlanEntry& e : list.entries())
            out.append(QStringList{e.startTime, e.endTime, e.startMode, e.displayText, e.date}.join(u'|'));
        return out;
    }
};

const QString today = u"07.12.2026"_s;
const QString tomorrow = u"08.12.2026"_s;

TEST_F(EditingTest, RenameByTheFirstSelectedEntry) {
    const struct {
        const char* what;
        QList<int> rows;
        QString text;
        std::optional<QString> prefill;
        QStringList want;
        TypedEntry::Adjustment why = TypedEntry::Adjustment::None;
    } cases[] = {
        {"first selected finished: nothing",
         {2, 0, 1},
         u"Neu"_s,
         std::nullopt,
         {u"Fertig"_s, u"A"_s, u"Pause: 10 min (Tee (grün))"_s, u"B"_s, u"Pause: 5 min"_s, u"C"_s}},
        {"a unit first: the open units",
         {5, 1, 2, 3},
         u"Neu"_s,
         u"A"_s,
         {u"Fertig"_s, u"Neu"_s, u"Pause: 10 min (Tee (grün))"_s, u"Neu"_s, u"Pause: 5 min"_s, u"Neu"_s}},
        {"a pause first: every pause, finished too",
         {2, 3, 4},
         u"Kaffee"_s,
         u"Tee (grün)"_s,
         {u"Fertig"_s, u"A"_s, u"Pause: 10 min (Kaffee)"_s, u"B"_s, u"Pause: 5 min (Kaffee)"_s, u"C"_s}},
        {"an empty pause title",
         {2},
         QString(),
         u"Tee (grün)"_s,
         {u"Fertig"_s, u"A"_s, u"Pause: 10 min"_s, u"B"_s, u"Pause: 5 min"_s, u"C"_s}},
        {"a unit title the file would read as a pause",
         {1},
         u"Pause: 5 min"_s,
         u"A"_s,
         {u"Fertig"_s, u"Pause 5 min"_s, u"Pause: 10 min (Tee (grün))"_s, u"B"_s, u"Pause: 5 min"_s, u"C"_s},
         TypedEntry::Adjustment::PausePrefix},
        {"no row",
         {},
         u"Neu"_s,
         std::nullopt,
         {u"Fertig"_s, u"A"_s, u"Pause: 10 min (Tee (grün))"_s, u"B"_s, u"Pause: 5 min"_s, u"C"_s}},
    };
    for (const auto& c : cases) {
        mixedPlan();
        EXPECT_EQ(list.renamePrefill(c.rows), c.prefill) << c.what;
        EXPECT_EQ(list.renameEntries(c.rows, c.text), c.why) << c.what;
        EXPECT_EQ(titles(list), c.want) << c.what;
    }
}

TEST_F(EditingTest, StartTimeTypedForOneEntry) {
    const struct {
        const char* what;
        int row;
        QString text;
        bool changed;
        QString want; // start|end|mode|date of the row
    } cases[] = {
        {"later today: fixed", 1, u"10:30"_s, true, u"10:30|10:55|F|"_s + today},
        {"passed today: tomorrow", 1, u"08:59"_s, true, u"08:59|09:24|F|"_s + tomorrow},
        {"the current minute stays today", 1, u"9:00:00"_s, true, u"09:00|09:25|F|"_s + today},
        {"the unchanged text changes nothing", 1, u"09:00"_s, false, u"09:00|09:25|R|"_s + today},
        {"empty: relative again", 5, QString(), true, u"12:00|12:25|R|"_s + today},
        {"not a time", 5, u"25:00"_s, false, u"12:00|12:25|F|"_s + today},
        {"a finished entry", 0, u"10:00"_s, false, u"08:00|08:25|F|"_s + today},
    };
    for (const auto& c : cases) {
        mixedPlan();
        EXPECT_EQ(list.setStartTime(c.row, c.text), c.changed) << c.what;
        const PlanEntry& e = list.entries().at(c.row);
        EXPECT_EQ(QStringList({e.startTime, e.endTime, e.startMode, e.date}).join(u'|'), c.want) << c.what;
    }
    mixedPlan();
    EXPECT_EQ(list.startTimePrefill({3, 1}), u"09:00"_s);
    EXPECT_EQ(list.startTimePrefill({4, 0}), std::nullopt);
}

TEST_F(EditingTest, DatesAndFixedStartsOfSeveralRows) {
    mixedPlan();
    const QList<int> all = {0, 1, 2, 3, 4, 5};
    // One step after the other on the same plan; mode and day.month of every row afterwards.
    const struct {
        const char* what;
        std::function<int()> command;
        int changed;
        QString want;
    } steps[] = {
        {"not a date", [&] { return list.setDates(all, u"31.02.2027"_s); }, 0,
         u"F07.12 R07.12 R07.12 R07.12 F07.12 F07.12"_s},
        {"a date is written in full",
         [&] {
             return list.setDates({5, 0}, u"1.1.2027"_s);
         },
         1, u"F07.12 R07.12 R07.12 R07.12 F07.12 F01.01"_s},
        {"open rows dated and fixed", [&] { return list.setDates(all, u"24.12.2026"_s); }, 4,
         u"F07.12 F24.12 F24.12 F24.12 F07.12 F24.12"_s},
        // A's fixed 09:00 has come: it follows on from now again.
        {"open rows today again", [&] { return list.resetDates(all); }, 4,
         u"F07.12 R07.12 F07.12 F07.12 F07.12 F07.12"_s},
        {"open rows relative", [&] { return list.clearStartTimes(all); }, 4,
         u"F07.12 R07.12 R07.12 R07.12 F07.12 R07.12"_s},
    };
    for (const auto& s : steps) {
        EXPECT_EQ(s.command(), s.changed) << s.what;
        QStringList got;
        for (const PlanEntry& e : list.entries())
            got.append(e.startMode + e.date.left(5));
        EXPECT_EQ(got.join(u' '), s.want) << s.what;
        if (s.changed == 1) {
            EXPECT_EQ(list.entries().last().date, u"01.01.2027"_s);
        }
    }
    EXPECT_EQ(list.datePrefill({2}), today);
    EXPECT_EQ(list.datePrefill({0, 2}), std::nullopt);
}

TEST_F(EditingTest, OneMinuteEarlierAndLater) {
    const struct {
        const char* what;
        std::initializer_list<Row> plan;
        QList<int> rows;
        int times; // > 0: later, < 0: earlier
        QStringList want;
    } cases[] = {
        {"a unit a minute after a unit above stays",
         {{"U", 'E', 10, 0}, {"V", 'E', 10, 26}},
         {1},
         -1,
         {u"10:00|10:25|F|U|"_s + today, u"10:26|10:51|F|V|"_s + today}},
        {"down to a minute after a unit above",
         {{"U", 'E', 10, 0}, {"V", 'E', 10, 28}},
         {1},
         -3,
         {u"10:00|10:25|F|U|"_s + today, u"10:26|10:51|F|V|"_s + today}},
        {"down to the very end of a pause above",
         {{"P", 'P', 10, 0, 10}, {"V", 'E', 10, 11}},
         {1},
         -3,
         {u"10:00|10:10|F|Pause: 10 min (P)|"_s + today, u"10:10|10:35|F|V|"_s + today}},
        {"a finished unit above does not hold it",
         {{"U", 'E', 8, 30, 25, "x"}, {"V", 'E', 10, 0}},
         {1},
         -2,
         {u"08:30|08:55|F|U|"_s + today, u"09:58|10:23|F|V|"_s + today}},
        {"the first row moves; a start that has come turns relative",
         {{"V", 'E', 9, 2}},
         {0},
         -2,
         {u"09:00|09:25|R|V|"_s + today}},
        {"another day than the row above: across midnight",
         {{"U", 'E', 23, 40, 20}, {"V", 'E', 0, 0, 25, " ", 8}},
         {1},
         -1,
         {u"23:40|00:00|F|U|"_s + today, u"23:59|00:24|F|V|"_s + today}},
        {"later across midnight", {{"V", 'E', 23, 59}}, {0}, 2, {u"00:01|00:26|F|V|"_s + tomorrow}},
        {"pauses of any state change length, each keeps its title",
         {{"Tee", 'P', 8, 0, 5, "x"},
          {"U", 'E', 8, 30, 25, "x"},
          {"", 'P', 10, 0, 0},
          {"Obst", 'P', 11, 0, 10}},
         {0, 1, 2, 3},
         2,
         {u"08:00|08:07|F|Pause: 7 min (Tee)|"_s + today, u"08:30|08:55|F|U|"_s + today,
          u"10:00|10:02|F|Pause: 2 min|"_s + today, u"11:00|11:12|F|Pause: 12 min (Obst)|"_s + today}},
        {"a pause never goes below 0",
         {{"", 'P', 10, 0, 1}, {"Obst", 'P', 11, 0, 10}},
         {0, 1},
         -2,
         {u"10:00|10:00|F|Pause: 0 min|"_s + today, u"11:00|11:08|F|Pause: 8 min (Obst)|"_s + today}},
        {"a selected block moves together",
         {{"U", 'E', 10, 0}, {"V", 'E', 10, 30}},
         {0, 1},
         -5,
         {u"09:55|10:20|F|U|"_s + today, u"10:25|10:50|F|V|"_s + today}},
    };
    for (const auto& c : cases) {
        reset();
        build(c.plan);
        for (int i = 0; i < std::abs(c.times); ++i) {
            if (c.times > 0)
                list.startOneMinuteLater(c.rows);
            else
                list.startOneMinuteEarlier(c.rows);
        }
        EXPECT_EQ(shown(), c.want) << c.what;
    }
}

TEST_F(EditingTest, LengthsByTheFirstSelectedEntry) {
    settings.GrossePause = 15;
    settings.StandardDauerEinheit = 30;
    const struct {
        const char* what;
        QList<int> rows;
        QString text;
        QString want; // length of every row
    } cases[] = {
        {"units: the open ones, not pauses", {1, 2, 3, 5}, u"40"_s, u"25 40 10 40 5 40"_s},
        {"units: no number gives the unit length", {1}, u"abc"_s, u"25 30 10 25 5 25"_s},
        {"units: negative gives the unit length", {1}, u"-5"_s, u"25 30 10 25 5 25"_s},
        {"units: none of no time", {1}, u"0"_s, u"25 30 10 25 5 25"_s},
        {"pauses: every selected one, finished too", {2, 4, 3}, u"0"_s, u"25 25 0 25 0 25"_s},
        {"pauses: negative gives the big pause", {2}, u"-5"_s, u"25 25 15 25 5 25"_s},
        {"first selected finished: nothing", {0, 1, 2}, u"40"_s, u"25 25 10 25 5 25"_s},
    };
    for (const auto& c : cases) {
        mixedPlan();
        list.setDurations(c.rows, c.text);
        QStringList lengths;
        for (const PlanEntry& e : list.entries())
            lengths.append(e.duration);
        EXPECT_EQ(lengths.join(u' '), c.want) << c.what;
    }
    // All selected pauses take the first one's title.
    list.setDurations({2, 4}, u"3"_s);
    EXPECT_EQ(titles(list).at(4), u"Pause: 3 min (Tee (grün))"_s);
}

TEST_F(EditingTest, MovesUpDownAndDropped) {
    const struct {
        const char* what;
        std::function<bool(Worklist&, quint64*)> move;
        QString want;
        QString firstMoved;
        bool acted = true;
    } cases[] = {
        {"a block up",
         [](Worklist& l, quint64* m) {
             return l.moveUp({2, 3}, m);
         },
         u"x B C A D E"_s, u"B"_s},
        {"a block down",
         [](Worklist& l, quint64* m) {
             return l.moveDown({2, 3}, m);
         },
         u"x A D B C E"_s, u"C"_s},
        {"the last row up", [](Worklist& l, quint64* m) { return l.moveUp({5}, m); }, u"x A B C E D"_s,
         u"E"_s},
        {"a finished row stops the block",
         [](Worklist& l, quint64* m) {
             return l.moveUp({1, 2}, m);
         },
         u"x A B C D E"_s, QString()},
        {"the first row selected: nothing at all",
         [](Worklist& l, quint64* m) {
             return l.moveUp({0, 3}, m);
         },
         u"x A B C D E"_s, QString(), false},
        {"the last row selected: nothing at all",
         [](Worklist& l, quint64* m) {
             return l.moveDown({2, 5}, m);
         },
         u"x A B C D E"_s, QString(), false},
        {"dropped before a row above",
         [](Worklist& l, quint64*) {
             return l.moveRowsBefore({3, 5}, 1), true;
         },
         u"x C E A B D"_s, QString()},
        {"dropped below the last row",
         [](Worklist& l, quint64*) {
             return l.moveRowsBefore({1, 2}, -1), true;
         },
         u"x C D E A B"_s, QString()},
        {"dropped onto a selected row: only those above it",
         [](Worklist& l, quint64*) {
             return l.moveRowsBefore({1, 4, 5}, 4), true;
         },
         u"x B C A D E"_s, QString()},
    };
    for (const auto& c : cases) {
        reset();
        build({{"x", 'E', 8, 0, 25, "x"},
               {"A", 'E', -1, 0},
               {"B", 'E', -1, 0},
               {"C", 'E', -1, 0},
               {"D", 'E', -1, 0},
               {"E", 'E', -1, 0}});
        quint64 moved = 0;
        EXPECT_EQ(c.move(list, &moved), c.acted) << c.what;
        EXPECT_EQ(titles(list).join(u' '), c.want) << c.what;
        EXPECT_EQ(moved ? list.entries().at(list.rowOf(moved)).displayText : QString(), c.firstMoved)
            << c.what;
        // The relative units follow each other in the new order.
        EXPECT_EQ(rows(list).at(1).section(u'|', 1, 2), u"09:00|09:25"_s) << c.what;
        EXPECT_EQ(rows(list).at(2).section(u'|', 1, 2), u"09:30|09:55"_s) << c.what;
    }
}

} // namespace
