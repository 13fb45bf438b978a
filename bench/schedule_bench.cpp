// The schedule computation runs ten times a second over the whole plan while the user plans.
// Plans of 20, 200 and 2000 entries: relative units and pauses with fixed units and pauses
// between them, on a clock that moves a minute per call so every relative entry really moves.

#include "clock.h"
#include "data_folder.h"
#include "debug_log.h"
#include "plan_file.h"
#include "plan_time.h"
#include "settings.h"
#include "text_file.h"
#include "user_interface.h"
#include "worklist.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <memory>

namespace {

class SteppingClock final : public Clock {
public:
    QDateTime localNow() const override { return m_now; }
    QDateTime utcNow() const override { return m_now.toUTC(); }
    qint64 tickMs() const override { return 0; }
    void advanceSecs(qint64 s) { m_now = m_now.addSecs(s); }

private:
    QDateTime m_now{QDate(2026, 12, 7), QTime(7, 0)};
};

struct Plan {
    SteppingClock clock;
    Settings settings;
    PlanningHost host;
    Worklist list{clock, settings, host};
};

std::unique_ptr<Plan> makePlan(int entries) {
    auto plan = std::make_unique<Plan>();
    Worklist& list = plan->list;
    const QDateTime now = plantime::now(plan->clock);
    const QString pending = QStringLiteral(" ");
    // Today's work so far.
    for (int i = 0; i < 3 && i < entries; ++i)
        list.AddEntry(QStringLiteral("Erledigt %1").arg(i), false, now.addSecs(-3600 + i * 1200), 15, true,
                      QStringLiteral("x"));
    for (int i = 3; i < entries; ++i) {
        switch (i % 10) {
        case 4:
        case 8:
            list.AddEntry(QStringLiteral("Kaffee"), true, now, 10, false, pending);
            break;
        case 6:
            // Fixed appointments well ahead of the clock (which stays within two hours here).
            list.AddEntry(QStringLiteral("Termin %1").arg(i), false, now.addSecs(3 * 3600 + i * 1500), 45,
                          true, pending);
            break;
        case 9:
            list.AddEntry(QStringLiteral("Mittag"), true, now.addSecs(4 * 3600 + i * 1500), 30, true,
                          pending);
            break;
        default:
            list.AddEntry(QStringLiteral("Aufgabe %1").arg(i), false, now, 25, false, pending);
        }
    }
    return plan;
}

void recomputeAsTheClockMoves(benchmark::State& state) {
    auto plan = makePlan(static_cast<int>(state.range(0)));
    int minute = 0;
    for (auto _ : state) {
        // A minute per call, back by an hour every hour, so the fixed entries never come.
        plan->clock.advanceSecs(++minute % 60 == 0 ? -59 * 60 : 60);
        plan->list.RecomputeSchedule();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(recomputeAsTheClockMoves)->Arg(20)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

// Nine ticks out of ten fall into the same minute: nothing moves, nothing is written.
void recomputeWithinAMinute(benchmark::State& state) {
    auto plan = makePlan(static_cast<int>(state.range(0)));
    for (auto _ : state)
        plan->list.RecomputeSchedule();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(recomputeWithinAMinute)->Arg(20)->Arg(200)->Arg(2000)->Unit(benchmark::kMicrosecond);

class SilentUi final : public UserInterface {
public:
    void showMessage(const QString&) override {}
    void showReminder(const QString&, const QString&) override {}
};

// Start-up with a long worklist.log: read, parse, and one schedule computation (the window
// appears only after this).
void loadLongPlan(benchmark::State& state) {
    QTemporaryDir dir;
    const DataFolder folder(dir.path());
    QStringList lines;
    for (int i = 0; i < state.range(0); ++i) {
        switch (i % 10) {
        case 4:
            lines.append(QStringLiteral("Pause: 10 Kaffee"));
            break;
        case 6:
            lines.append(QStringLiteral("Termin %1///45|||%2:30 %3.12.2026")
                             .arg(i)
                             .arg(8 + i % 9, 2, 10, QLatin1Char('0'))
                             .arg(8 + i % 20, 2, 10, QLatin1Char('0')));
            break;
        default:
            lines.append(QStringLiteral("Aufgabe %1///25").arg(i));
        }
    }
    textfile::writeLines(folder.filePath(QStringLiteral("worklist.log")), lines);
    for (auto _ : state) {
        Plan plan;
        DebugLog debugLog(plan.clock);
        SilentUi ui;
        PlanFile file(plan.list, plan.clock, plan.settings, folder, debugLog, ui);
        file.loadWorklist();
        benchmark::DoNotOptimize(plan.list.entries().size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(loadLongPlan)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
