// How the plan list colours a row: its background by status, conflict and date, the time cells
// grey while relative, the pause titles in the highlight colour.

#include "fake_clock.h"
#include "plan_table_model.h"
#include "settings.h"
#include "worklist.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QPalette>

namespace {

TEST(PlanTableModelTest, RowColoursFollowStatusConflictDateModeAndKind) {
    const QColor none, done = PlanTableModel::finishedColor, running = PlanTableModel::runningColor,
                       conflict = PlanTableModel::conflictColor, tomorrow = PlanTableModel::tomorrowColor,
                       later = PlanTableModel::laterColor;
    // Foreground of the start, end and task cells: g grey, t text, p the pause colour.
    const struct {
        const char *status, *date, *mark, *modeKind;
        QColor background;
        const char* foreground;
    } cases[] = {
        // clang-format off
        {" ", "07.12.2026", "", "RE", none, "ggt"}, {"x", "07.12.2026", "", "FE", done, "ttt"},
        {"FERTIG2", "07.12.2026", "", "RE", done, "ggt"}, {"FERTIG1", "07.12.2026", "", "RE", running, "ggt"},
        {"WIP", "07.12.2026", "", "RP", running, "ggp"}, {" ", "07.12.2026", "E", "RE", conflict, "ggt"},
        {"WIP", "07.12.2026", "E", "RE", conflict, "ggt"}, {" ", "08.12.2026", "", "RE", tomorrow, "ggt"},
        {"x", "08.12.2026", "", "FP", tomorrow, "ttp"}, {" ", "08.12.2026", "E", "RE", conflict, "ggt"},
        {" ", "09.12.2026", "", "RE", later, "ggt"}, {"WIP", "09.12.2026", "", "RE", later, "ggt"},
        {"x", "06.12.2026", "", "RE", done, "ggt"}, {"WIP", "kaputt", "", "RE", running, "ggt"},
        // Tomorrow is told by its text: written another way it is neither blue nor later.
        {" ", "8.12.2026", "", "RE", none, "ggt"}, {" ", "9.12.2026", "", "RE", later, "ggt"},
        // clang-format on
    };
    const QPalette palette = QGuiApplication::palette();
    const QHash<char, QColor> colours{{'g', QColor(128, 128, 128)},
                                      {'t', palette.color(QPalette::Active, QPalette::Text)},
                                      {'p', palette.color(QPalette::Active, QPalette::Highlight)}};
    FakeClock clock;
    Settings settings;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.status) + c.date + c.mark + c.modeKind);
        Worklist plan(clock, settings);
        plan.AddEntry(QString(), false, clock.localNow(), 25, false, QStringLiteral(" "));
        const auto s = [](const char* text) { return QString::fromLatin1(text); };
        plan.editEntry(0) =
            PlanEntry{s("1"),  s("09:00"),  s("09:25"), s("a"),   s(c.modeKind).left(1), s(c.modeKind).mid(1),
                      s("25"), s(c.status), s(c.date),  s(c.mark)};
        PlanTableModel model(plan, clock);
        QList<QColor> background, foreground{QColor()};
        for (int col = 0; col < PlanTableModel::ColumnCount; ++col)
            background.append(model.index(0, col).data(Qt::BackgroundRole).value<QColor>());
        for (const char f : std::string(c.foreground))
            foreground.append(colours.value(f));
        EXPECT_EQ(background, QList<QColor>(4, c.background));
        for (int col = 0; col < PlanTableModel::ColumnCount; ++col)
            EXPECT_EQ(model.index(0, col).data(Qt::ForegroundRole).value<QColor>(), foreground.at(col))
                << col;
    }
}

} // namespace
