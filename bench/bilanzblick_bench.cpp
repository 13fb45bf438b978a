// Bilanzblick over a generated ten-year activity log (about 40,000 lines): reading it into days,
// the day export of all ten years, and switching between the window's views.
#include "bilanz_window.h"
#include "clock.h"
#include "evaluation.h"
#include "generated_log.h"
#include "log_days.h"
#include "text_file.h"

#include <QApplication>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QDate firstDay(2016, 1, 1);
const QDate lastDay(2025, 12, 31);

class StandingClock final : public Clock {
public:
    QDateTime localNow() const override { return QDateTime(lastDay, QTime(15, 0)); }
    QDateTime utcNow() const override { return localNow().toUTC(); }
    qint64 tickMs() const override { return 0; }
};

const QStringList& tenYears() {
    static const QStringList lines = generatedActivityLog(firstDay, lastDay);
    return lines;
}

void BM_ReadIntoDays(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(LogDays::fromLines(tenYears(), 25, lastDay));
    state.counters["lines"] = double(tenYears().size());
}
BENCHMARK(BM_ReadIntoDays)->Unit(benchmark::kMillisecond);

void BM_ExportTenYears(benchmark::State& state) {
    const LogDays days = LogDays::fromLines(tenYears(), 25, lastDay);
    const auto format = state.range(0) == 0 ? evaluation::ExportFormat::Csv : evaluation::ExportFormat::Json;
    for (auto _ : state)
        benchmark::DoNotOptimize(evaluation::exportDays(days, firstDay, lastDay, format));
}
BENCHMARK(BM_ExportTenYears)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Each view freshly filled (as after a change of the log or of the range): a month and a year.
void BM_ViewSwitch(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Dezuzedu.log"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(textfile::encodeText(tenYears().join(QStringLiteral("\r\n"))));
    file.close();
    StandingClock clock;
    BilanzWindow window(clock, logsource::Location{path, 25});
    window.resize(1100, 720);
    window.show();
    while (window.log().isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const int view = int(state.range(0));
    const bool year = state.range(1) == 1;
    const auto kind = year ? BilanzWindow::RangeKind::Year : BilanzWindow::RangeKind::Month;
    bool earlier = false;
    for (auto _ : state) {
        // Another view takes the new range first, so the measured one is filled afresh.
        state.PauseTiming();
        window.tabs()->setCurrentIndex(view == 0 ? 1 : 0);
        earlier = !earlier;
        window.setRange(kind, earlier ? lastDay.addMonths(-1) : lastDay);
        state.ResumeTiming();
        window.tabs()->setCurrentIndex(view);
        window.repaint();
    }
}
BENCHMARK(BM_ViewSwitch)->ArgsProduct({{0, 1, 2, 3, 4, 5, 6}, {0, 1}})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // BILANZBLICK_BENCH_WRITE_LOG=<file>: writes the ten-year log for measure_bilanzblick.sh.
    const QString logFile = qEnvironmentVariable("BILANZBLICK_BENCH_WRITE_LOG");
    if (!logFile.isEmpty()) {
        QFile file(logFile);
        return file.open(QIODevice::WriteOnly) &&
                       file.write(textfile::encodeText(QStringLiteral("\r\n") +
                                                       tenYears().mid(1).join(QStringLiteral("\r\n")))) > 0
                   ? 0
                   : 1;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
