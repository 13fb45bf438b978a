#include "fake_clock.h"
#include "plan_table_model.h"
#include "settings.h"
#include "worklist.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QPalette>

namespace {

PlanEntry entry(const QString& title, const QString& status, const QString& date, const QString& mark = {},
                const QString& mode = QStringLiteral("R"), const QString& kind = QStringLiteral("E")) {
    PlanEntry e;
    e.number = QStringLiteral("1");
    e.startTime = QStringLiteral("09:00");
    e.endTime = QStringLiteral("09:25");
    e.displayText = title;
    e.startMode = mode;
    e.kind = kind;
    e.duration = QStringLiteral("25");
    e.status = status;
    e.date = date;
    e.conflictMark = mark;
    return e;
}

class ModelTest : public ::testing::Test {
protected:
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0))};
    Settings settings;
    PlanningHost host;
    Worklist worklist{clock, settings, host};
};

TEST_F(ModelTest, RowBackgroundFollowsStatusThenConflictAndDate) {
    const QString today = QStringLiteral("07.12.2026");
    const QString tomorrow = QStringLiteral("08.12.2026");
    const QString later = QStringLiteral("09.12.2026");
    const struct {
        const char* what;
        PlanEntry e;
        QColor expected;
    } cases[] = {
        {"pending today", entry(QStringLiteral("a"), QStringLiteral(" "), today), QColor()},
        {"finished", entry(QStringLiteral("a"), QStringLiteral("x"), today), PlanTableModel::finishedColor},
        {"blink green", entry(QStringLiteral("a"), QStringLiteral("FERTIG2"), today),
         PlanTableModel::finishedColor},
        {"blink yellow", entry(QStringLiteral("a"), QStringLiteral("FERTIG1"), today),
         PlanTableModel::runningColor},
        {"running", entry(QStringLiteral("a"), QStringLiteral("WIP"), today), PlanTableModel::runningColor},
        {"conflict", entry(QStringLiteral("a"), QStringLiteral(" "), today, QStringLiteral("E")),
         PlanTableModel::conflictColor},
        {"running conflict", entry(QStringLiteral("a"), QStringLiteral("WIP"), today, QStringLiteral("E")),
         PlanTableModel::conflictColor},
        {"tomorrow", entry(QStringLiteral("a"), QStringLiteral(" "), tomorrow),
         PlanTableModel::tomorrowColor},
        {"finished tomorrow", entry(QStringLiteral("a"), QStringLiteral("x"), tomorrow),
         PlanTableModel::tomorrowColor},
        {"conflict tomorrow", entry(QStringLiteral("a"), QStringLiteral(" "), tomorrow, QStringLiteral("E")),
         PlanTableModel::conflictColor},
        {"later", entry(QStringLiteral("a"), QStringLiteral(" "), later), PlanTableModel::laterColor},
        {"running later", entry(QStringLiteral("a"), QStringLiteral("WIP"), later),
         PlanTableModel::laterColor},
        // Tomorrow is told by its text: written another way it is neither blue nor later.
        {"tomorrow other text", entry(QStringLiteral("a"), QStringLiteral(" "), QStringLiteral("8.12.2026")),
         QColor()},
        {"later other text", entry(QStringLiteral("a"), QStringLiteral(" "), QStringLiteral("9.12.2026")),
         PlanTableModel::laterColor},
        {"yesterday", entry(QStringLiteral("a"), QStringLiteral("x"), QStringLiteral("06.12.2026")),
         PlanTableModel::finishedColor},
        {"bad date keeps status colour",
         entry(QStringLiteral("a"), QStringLiteral("WIP"), QStringLiteral("kaputt")),
         PlanTableModel::runningColor},
    };
    for (const auto& c : cases) {
        worklist.entries() = {c.e};
        PlanTableModel model(worklist, clock);
        SCOPED_TRACE(c.what);
        EXPECT_EQ(model.rowBackground(c.e), c.expected);
        for (int col = 0; col < PlanTableModel::ColumnCount; ++col) {
            const QVariant v = model.index(0, col).data(Qt::BackgroundRole);
            EXPECT_EQ(v.isValid() ? v.value<QColor>() : QColor(), c.expected) << "column " << col;
        }
    }
}

TEST_F(ModelTest, CellTextColoursByColumn) {
    const QPalette p = QGuiApplication::palette();
    const QColor text = p.color(QPalette::Active, QPalette::Text);
    const QColor pauseText = p.color(QPalette::Active, QPalette::Highlight);
    const QColor grey(128, 128, 128);
    const QString today = QStringLiteral("07.12.2026");
    const struct {
        const char* what;
        PlanEntry e;
        QColor number, start, end, task;
    } cases[] = {
        {"relative unit", entry(QStringLiteral("a"), QStringLiteral(" "), today), QColor(), grey, grey, text},
        {"fixed unit", entry(QStringLiteral("a"), QStringLiteral(" "), today, {}, QStringLiteral("F")),
         QColor(), text, text, text},
        {"relative pause",
         entry(QStringLiteral("Pause: 25 min"), QStringLiteral(" "), today, {}, QStringLiteral("R"),
               QStringLiteral("P")),
         QColor(), grey, grey, pauseText},
        {"fixed finished pause",
         entry(QStringLiteral("Pause: 5 min"), QStringLiteral("x"), today, {}, QStringLiteral("F"),
               QStringLiteral("P")),
         QColor(), text, text, pauseText},
    };
    for (const auto& c : cases) {
        worklist.entries() = {c.e};
        PlanTableModel model(worklist, clock);
        SCOPED_TRACE(c.what);
        const QColor expected[] = {c.number, c.start, c.end, c.task};
        for (int col = 0; col < PlanTableModel::ColumnCount; ++col) {
            const QVariant v = model.index(0, col).data(Qt::ForegroundRole);
            EXPECT_EQ(v.isValid() ? v.value<QColor>() : QColor(), expected[col]) << "column " << col;
        }
    }
}

TEST_F(ModelTest, ShowsFourColumnsOfTheEntry) {
    PlanEntry e = entry(QStringLiteral("Bericht"), QStringLiteral(" "), QStringLiteral("07.12.2026"));
    e.number = QStringLiteral("3");
    e.startTime = QStringLiteral("10:05");
    e.endTime = QStringLiteral("10:30");
    worklist.entries() = {e};
    PlanTableModel model(worklist, clock);
    ASSERT_EQ(model.rowCount(), 1);
    ASSERT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.index(0, 0).data().toString(), QStringLiteral("3"));
    EXPECT_EQ(model.index(0, 1).data().toString(), QStringLiteral("10:05"));
    EXPECT_EQ(model.index(0, 2).data().toString(), QStringLiteral("10:30"));
    EXPECT_EQ(model.index(0, 3).data().toString(), QStringLiteral("Bericht"));
    EXPECT_FALSE(model.flags(model.index(0, 3)) & Qt::ItemIsEditable);
}

TEST_F(ModelTest, SelectionStaysOnItsEntriesWhenTheyAreReordered) {
    const QString today = QStringLiteral("07.12.2026");
    worklist.entries() = {entry(QStringLiteral("A"), QStringLiteral(" "), today),
                          entry(QStringLiteral("B"), QStringLiteral(" "), today),
                          entry(QStringLiteral("C"), QStringLiteral(" "), today)};
    PlanTableModel model(worklist, clock);
    QItemSelectionModel selection(&model);
    selection.select(model.index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.select(model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    // The schedule re-sorted: C, A, B. Times changing on the way must not matter.
    auto& list = worklist.entries();
    list = {list[2], list[0], list[1]};
    list[0].startTime = QStringLiteral("08:00");
    const QList<int> moved = model.refresh();
    EXPECT_EQ(moved, (QList<int>{1, 2, 0}));
    EXPECT_FALSE(model.lastRefreshReset());
    QStringList selected;
    for (const QModelIndex& i : selection.selectedRows())
        selected.append(model.index(i.row(), 3).data().toString());
    selected.sort();
    EXPECT_EQ(selected, (QStringList{QStringLiteral("A"), QStringLiteral("C")}));

    // A row added: the model resets, the map still says where every old row went.
    list.append(entry(QStringLiteral("A"), QStringLiteral(" "), today));
    EXPECT_EQ(model.refresh(), (QList<int>{0, 1, 2}));
    EXPECT_TRUE(model.lastRefreshReset());
    EXPECT_EQ(model.rowCount(), 4);
}

TEST_F(ModelTest, EqualEntriesKeepTheirOrderAndRetitledRowsTheirPlace) {
    const QString today = QStringLiteral("07.12.2026");
    worklist.entries() = {entry(QStringLiteral("A"), QStringLiteral(" "), today),
                          entry(QStringLiteral("A"), QStringLiteral(" "), today),
                          entry(QStringLiteral("B"), QStringLiteral(" "), today)};
    PlanTableModel model(worklist, clock);
    worklist.entries()[2].displayText = QStringLiteral("B2");
    EXPECT_EQ(model.refresh(), (QList<int>{0, 1, 2}));
    worklist.entries().removeAt(0);
    EXPECT_EQ(model.refresh(), (QList<int>{0, -1, 1}));
    EXPECT_EQ(model.rowCount(), 2);
}

} // namespace
