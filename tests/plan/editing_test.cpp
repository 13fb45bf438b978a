// Editing the selected rows of the plan list: each command against multi-row selections with
// finished rows among them, the first and last rows, pauses and the row above, fixed and
// relative entries, and moves across midnight. The cases are in data/editing.txt.

#include "plan_fixture.h"

namespace {

using namespace Qt::StringLiterals;

class EditingTest : public PlanTest {
protected:
    EditingTest() { setNow(9, 0, 40); }
    QList<CaseRow> table(const QString& section) {
        return caseTable(QStringLiteral(PLAN_TEST_DATA "/editing.txt"), section);
    }
    void build(const QString& plan) {
        list.ClearOpenEntries();
        list.removeFinished();
        addPlan(plan == u"mixed"_s
                    ? u"Fertig/E/08:00/25/x; A/E/-; Tee (grün)/P/-/10; B/E/-; /P/11:00/5/x; C/E/12:00"_s
                    : plan);
    }
    // A command on the selected rows, and what it answered as the tables write it.
    QString command(const QString& name, const QList<int>& rows, const QString& text) {
        const auto yes = [](bool b) { return b ? u"yes"_s : u"no"_s; };
        if (name == u"dates"_s)
            return QString::number(list.setDates(rows, text));
        if (name == u"today"_s)
            return QString::number(list.resetDates(rows));
        if (name == u"relative"_s)
            return QString::number(list.clearStartTimes(rows));
        if (name == u"start"_s)
            return yes(list.setStartTime(rows.value(0), text));
        if (name == u"lengths"_s)
            return yes(list.setDurations(rows, text));
        if (name == u"unit lengths"_s)
            return yes(list.setPendingUnitLengths(text.toInt()));
        if (name == u"up"_s || name == u"down"_s)
            return yes(name == u"up"_s ? list.moveUp(rows, &moved) : list.moveDown(rows, &moved));
        if (name == u"drop"_s)
            return list.moveRowsBefore(rows, text.toInt()), u"yes"_s;
        if (name != u"minute"_s)
            ADD_FAILURE() << "no command " << name.toStdString();
        for (int i = 0; i < std::abs(text.toInt()); ++i)
            text.toInt() > 0 ? list.startOneMinuteLater(rows) : list.startOneMinuteEarlier(rows);
        return QString();
    }
    quint64 moved = 0;
};

TEST_F(EditingTest, RenameByTheFirstSelectedEntry) {
    for (const CaseRow& c : table(u"rename"_s)) {
        SCOPED_TRACE(c.where.toStdString());
        build(c[5]);
        EXPECT_EQ(list.renamePrefill(numbers(c[0])).value_or(u"-"_s), c[2]);
        EXPECT_EQ(list.renameEntries(numbers(c[0]), c[1]), adjustmentNamed(c[4]));
        EXPECT_EQ(titles(list), c[3]);
    }
}

TEST_F(EditingTest, StartTimeTypedForOneEntry) {
    for (const CaseRow& c : table(u"start time"_s)) {
        build(u"mixed"_s);
        EXPECT_EQ(command(u"start"_s, numbers(c[0]), c[1]), c[2]) << c.where.toStdString();
        const PlanEntry& e = list.entries().at(c.number(0));
        EXPECT_EQ(QStringList({e.startTime, e.endTime, e.startMode, e.date}).join(u'|'), c[3])
            << c.where.toStdString();
    }
    EXPECT_EQ(list.startTimePrefill({3, 1}), u"09:00"_s);
    EXPECT_EQ(list.startTimePrefill({4, 0}), std::nullopt);
}

TEST_F(EditingTest, DatesAndFixedStartsOfSeveralRows) {
    build(u"mixed"_s);
    for (const CaseRow& c : table(u"dates"_s)) {
        EXPECT_EQ(command(c[0], numbers(c[1]), c[2]), c[3]) << c.where.toStdString();
        EXPECT_EQ(each(list, [](const PlanEntry& e) { return e.startMode + e.date; }), c[4])
            << c.where.toStdString();
    }
    EXPECT_EQ(list.datePrefill({2}), u"07.12.2026"_s);
    EXPECT_EQ(list.datePrefill({0, 2}), std::nullopt);
}

TEST_F(EditingTest, OneMinuteEarlierAndLater) {
    for (const CaseRow& c : table(u"minute"_s)) {
        build(c[0]);
        command(u"minute"_s, numbers(c[1]), c[2]);
        EXPECT_EQ(each(list,
                       [](const PlanEntry& e) {
                           return e.startTime + u'-' + e.endTime + u' ' + e.startMode + u' ' + e.displayText +
                                  (e.date == u"07.12.2026"_s ? QString() : u' ' + e.date);
                       }),
                  c[3])
            << c.where.toStdString();
    }
}

TEST_F(EditingTest, LengthsByTheFirstSelectedEntry) {
    settings.GrossePause = 15;
    settings.StandardDauerEinheit = 30;
    for (const CaseRow& c : table(u"lengths"_s)) {
        build(u"mixed"_s);
        EXPECT_EQ(command(u"lengths"_s, numbers(c[0]), c[1]), c[2]) << c.where.toStdString();
        EXPECT_EQ(each(
                      list, [](const PlanEntry& e) { return e.duration; }, u" "_s),
                  c[3])
            << c.where.toStdString();
    }
    // The selected pauses all take the first one's title, and a fixed one its new end.
    list.setDurations({2, 4}, u"3"_s);
    EXPECT_EQ(list.entries().at(4).displayText + list.entries().at(4).endTime,
              u"Pause: 3 min (Tee (grün))11:03"_s);
}

TEST_F(EditingTest, MovesUpDownAndDropped) {
    for (const CaseRow& c : table(u"moves"_s)) {
        SCOPED_TRACE(c.where.toStdString());
        build(u"x/E/08:00/25/x; A/E/-; B/E/-; C/E/-; D/E/-; E/E/-"_s);
        moved = 0;
        EXPECT_EQ(command(c[0], numbers(c[1]), c[2]), c[3]);
        EXPECT_EQ(titles(list), c[4]);
        EXPECT_EQ(moved ? list.entries().at(list.rowOf(moved)).displayText : QString(), c[5]);
        // The relative units follow each other in their new order.
        EXPECT_EQ(list.entries().at(2).startTime, u"09:30"_s);
    }
}

TEST_F(EditingTest, FixedEntriesEndByTheLastDateTheFileHolds) {
    for (const CaseRow& c : table(u"last date"_s)) {
        build(c[0]);
        command(c[1], {0}, c[2]);
        const PlanEntry& e = list.entries().at(0);
        EXPECT_EQ(QStringList({e.startTime, e.endTime, e.duration, e.date}).join(u'|'), c[3])
            << c.where.toStdString();
    }
}

} // namespace
