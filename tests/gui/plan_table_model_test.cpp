#include "fake_clock.h"
#include "plan_table_model.h"
#include "plan_time.h"
#include "settings.h"
#include "worklist.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QPalette>

using namespace Qt::StringLiterals;

namespace {

PlanEntry entry(const QString& title, const char* status = " ", const char* date = "07.12.2026",
                const char* mark = "", const char* mode = "R", const char* kind = "E") {
    const auto s = [](const char* text) { return QString::fromLatin1(text); };
    return PlanEntry{s("1"),  s("09:00"), s("09:25"), title,   s(mode),
                     s(kind), s("25"),    s(status),  s(date), s(mark)};
}

class ModelTest : public ::testing::Test {
protected:
    // The colour a role gives each of the four cells of a one-row plan.
    QList<QColor> cellColours(const PlanEntry& e, int role) {
        Worklist one(clock, settings);
        one.AddEntry(QString(), false, now(), 25, false, u" "_s);
        one.editEntry(0) = e;
        PlanTableModel model(one, clock);
        QList<QColor> colours;
        for (int col = 0; col < PlanTableModel::ColumnCount; ++col) {
            const QVariant v = model.index(0, col).data(role);
            colours.append(v.isValid() ? v.value<QColor>() : QColor());
        }
        return colours;
    }
    QStringList titles(const PlanTableModel& model) {
        QStringList all;
        for (int r = 0; r < model.rowCount(); ++r)
            all.append(model.index(r, PlanTableModel::TaskColumn).data().toString());
        return all;
    }

    QDateTime now() const { return plantime::now(clock); }
    void addFixed(const QString& title, int hour) {
        worklist.AddEntry(title, false, plantime::wall(clock.today(), QTime(hour, 0)), 25, true, u" "_s);
    }

    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0))};
    Settings settings;
    PlanningHost host;
    Worklist worklist{clock, settings, host};
};

TEST_F(ModelTest, RowBackgroundFollowsStatusThenConflictAndDate) {
    const QColor none, done = PlanTableModel::finishedColor, running = PlanTableModel::runningColor,
                       conflict = PlanTableModel::conflictColor, tomorrow = PlanTableModel::tomorrowColor,
                       later = PlanTableModel::laterColor;
    const struct {
        const char *status, *date, *mark;
        QColor expected;
    } cases[] = {
        // clang-format off
        {" ", "07.12.2026", "", none}, {"x", "07.12.2026", "", done}, {"FERTIG2", "07.12.2026", "", done},
        {"FERTIG1", "07.12.2026", "", running}, {"WIP", "07.12.2026", "", running},
        {" ", "07.12.2026", "E", conflict}, {"WIP", "07.12.2026", "E", conflict},
        {" ", "08.12.2026", "", tomorrow}, {"x", "08.12.2026", "", tomorrow}, {" ", "08.12.2026", "E", conflict},
        {" ", "09.12.2026", "", later}, {"WIP", "09.12.2026", "", later}, {"x", "06.12.2026", "", done},
        {"WIP", "kaputt", "", running},
        // Tomorrow is told by its text: written another way it is neither blue nor later.
        {" ", "8.12.2026", "", none}, {" ", "9.12.2026", "", later},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.status) + c.date + c.mark);
        EXPECT_EQ(cellColours(entry(u"a"_s, c.status, c.date, c.mark), Qt::BackgroundRole),
                  QList<QColor>(4, c.expected));
    }
}

TEST_F(ModelTest, CellTextColoursByColumn) {
    const QPalette p = QGuiApplication::palette();
    const QColor text = p.color(QPalette::Active, QPalette::Text);
    const QColor pause = p.color(QPalette::Active, QPalette::Highlight);
    const QColor grey(128, 128, 128);
    EXPECT_EQ(cellColours(entry(u"a"_s), Qt::ForegroundRole), (QList<QColor>{QColor(), grey, grey, text}));
    EXPECT_EQ(cellColours(entry(u"a"_s, " ", "07.12.2026", "", "F"), Qt::ForegroundRole),
              (QList<QColor>{QColor(), text, text, text}));
    EXPECT_EQ(cellColours(entry(u"Pause: 25 min"_s, " ", "07.12.2026", "", "R", "P"), Qt::ForegroundRole),
              (QList<QColor>{QColor(), grey, grey, pause}));
    EXPECT_EQ(cellColours(entry(u"Pause: 5 min"_s, "x", "07.12.2026", "", "F", "P"), Qt::ForegroundRole),
              (QList<QColor>{QColor(), text, text, pause}));
}

TEST_F(ModelTest, SelectionStaysOnItsEntriesWhenTheyAreReordered) {
    for (const auto& [title, hour] : {std::pair(u"A"_s, 10), std::pair(u"B"_s, 11), std::pair(u"C"_s, 12)})
        addFixed(title, hour);
    PlanTableModel model(worklist, clock);
    EXPECT_FALSE(model.flags(model.index(0, PlanTableModel::TaskColumn)) & Qt::ItemIsEditable);
    QItemSelectionModel selection(&model);
    selection.select(model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.select(model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    // C moves to the front and the schedule re-sorts: C, A, B.
    worklist.editEntry(2).startTime = u"09:30"_s;
    worklist.RecomputeSchedule();
    EXPECT_EQ(model.refresh(), (QList<int>{1, 2, 0}));
    EXPECT_FALSE(model.lastRefreshReset());
    EXPECT_EQ(titles(model).join(u','), u"C,A,B"_s);
    QStringList selected;
    for (const QModelIndex& i : selection.selectedRows())
        selected.append(titles(model).at(i.row()));
    selected.sort();
    EXPECT_EQ(selected.join(u','), u"A,C"_s);

    // A row added: the model resets, the map still says where every old row went.
    worklist.AddEntry(u"A"_s, false, now(), 25, false, u" "_s);
    EXPECT_EQ(model.refresh(), (QList<int>{0, 1, 2}));
    EXPECT_TRUE(model.lastRefreshReset());
    EXPECT_EQ(model.rowCount(), 4);
}

TEST_F(ModelTest, RowsFollowTheirOwnEntryNotOneThatReadsAlike) {
    for (const bool pause : {false, true, false, true})
        worklist.AddEntry(pause ? QString() : u"A"_s, pause, now(), 25, false, u" "_s);
    PlanTableModel model(worklist, clock);
    // A retitled row keeps its place.
    worklist.editEntry(2).displayText = u"B"_s;
    EXPECT_EQ(model.refresh(), (QList<int>{0, 1, 2, 3}));
    // The first pause goes: the second one is still the old row 3, not the old row 1.
    worklist.deleteOpenEntries({1});
    EXPECT_EQ(model.refresh(), (QList<int>{0, -1, 1, 2}));
    EXPECT_EQ(titles(model).join(u','), u"A,B,Pause: 25 min"_s);
}

} // namespace
