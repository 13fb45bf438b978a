// Loading and querying a long activity log: ten years of every line kind, as the Timer window
// loads it at start and the Planning window queries it.
#include "activity_log.h"
#include "clock.h"
#include "debug_log.h"
#include "percentile_rank.h"
#include "settings.h"
#include "text_file.h"
#include "user_interface.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

class StandingClock final : public Clock {
public:
    explicit StandingClock(QDateTime now) : m_now(std::move(now)) {}
    QDateTime localNow() const override { return m_now; }
    QDateTime utcNow() const override { return m_now.toUTC(); }
    qint64 tickMs() const override { return 0; }

private:
    QDateTime m_now;
};

class SilentUi final : public UserInterface {
public:
    void showMessage(const QString&) override {}
    void showReminder(const QString&, const QString&) override {}
};

const QDate firstDay(2016, 1, 4);
const QDate lastDay(2025, 12, 31);

QString titleFor(int n) {
    static const QStringList words = {
        QStringLiteral("Bericht"),   QStringLiteral("Übung"),    QStringLiteral("Klavier"),
        QStringLiteral("Steuer"),    QStringLiteral("Angebot"),  QStringLiteral("Prüfung"),
        QStringLiteral("E-Mails"),   QStringLiteral("Lesen"),    QStringLiteral("Planung"),
        QStringLiteral("Größe"),     QStringLiteral("Kunde"),    QStringLiteral("日本語"),
        QStringLiteral("Skizze"),    QStringLiteral("Rechnung"), QStringLiteral("Vortrag"),
        QStringLiteral("Aufräumen"), QStringLiteral("Code"),     QStringLiteral("Tests"),
        QStringLiteral("Dokumente"), QStringLiteral("Anruf"),
    };
    return words[n % words.size()] + QLatin1Char(' ') + words[(n / 7) % words.size()] + QLatin1Char(' ') +
           QString::number(n % 37);
}

// About 40,000 lines: per working day (Monday to Saturday) a target line, eleven units (one
// left open, one in the old layout on some days) and a re-planning line with or without reason.
QString generatedLog() {
    QString text;
    int n = 0;
    for (QDate day = firstDay; day <= lastDay; day = day.addDays(1)) {
        if (day.dayOfWeek() == 7)
            continue;
        text += ActivityLog::targetLine(day, 6 + n % 5);
        QDateTime start(day, QTime(8, 0), Qt::UTC);
        for (int unit = 0; unit < 11; ++unit, ++n) {
            if (unit == 4 && n % 3 == 0) {
                text += QStringLiteral("\r\n") + ActivityLog::stamp(start) + QLatin1Char(' ') + titleFor(n) +
                        ActivityLog::finishMark();
            } else {
                text += ActivityLog::unitLine(start, 25, titleFor(n));
                if (unit != 7)
                    text += ActivityLog::finishMark();
            }
            if (unit == 7) {
                text +=
                    n % 2 ? ActivityLog::replanLine(start.addSecs(600))
                          : ActivityLog::replanLine(start.addSecs(600), QStringLiteral("Telefon mit Kunde"));
            }
            start = start.addSecs(30 * 60);
        }
    }
    return text;
}

struct LogFixture {
    LogFixture() {
        settings.LogDateiPfad = QDir(dir.path()).filePath(QStringLiteral("Dezuzedu.log"));
        textfile::writeText(settings.LogDateiPfad, generatedLog());
    }
    QTemporaryDir dir;
    Settings settings;
    StandingClock clock{QDateTime(lastDay, QTime(18, 0))};
    SilentUi ui;
};

LogFixture& fixture() {
    static LogFixture f;
    return f;
}

void BM_LoadLog(benchmark::State& state) {
    LogFixture& f = fixture();
    for (auto _ : state) {
        DebugLog debug(f.clock);
        ActivityLog log(f.clock, f.settings, debug, f.ui);
        log.LoadLog();
        benchmark::DoNotOptimize(log.lines().size());
    }
    DebugLog debug(f.clock);
    ActivityLog log(f.clock, f.settings, debug, f.ui);
    log.LoadLog();
    state.counters["lines"] = static_cast<double>(log.lines().size());
}

void BM_Queries(benchmark::State& state) {
    LogFixture& f = fixture();
    DebugLog debug(f.clock);
    ActivityLog log(f.clock, f.settings, debug, f.ui);
    log.LoadLog();
    for (auto _ : state) {
        benchmark::DoNotOptimize(log.TargetForDay(lastDay));
        benchmark::DoNotOptimize(log.FinishedUnits(lastDay).size());
        benchmark::DoNotOptimize(log.RecentTitles(10).size());
    }
}

// What a start-up costs: the load and every query the windows make of it.
void BM_LoadAndQuery(benchmark::State& state) {
    LogFixture& f = fixture();
    for (auto _ : state) {
        DebugLog debug(f.clock);
        ActivityLog log(f.clock, f.settings, debug, f.ui);
        log.LoadLog();
        benchmark::DoNotOptimize(log.TargetForDay(lastDay));
        benchmark::DoNotOptimize(log.FinishedUnits(lastDay).size());
        benchmark::DoNotOptimize(log.RecentTitles(10).size());
    }
}

// A day far back: FinishedUnits and TargetForDay walk the whole list either way.
void BM_FinishedUnitsOldDay(benchmark::State& state) {
    LogFixture& f = fixture();
    DebugLog debug(f.clock);
    ActivityLog log(f.clock, f.settings, debug, f.ui);
    log.LoadLog();
    const QDate day = firstDay.addDays(1);
    for (auto _ : state) {
        benchmark::DoNotOptimize(log.FinishedUnits(day).size());
        benchmark::DoNotOptimize(log.TargetForDay(day));
    }
}

// The percentile rank as the Timer window asks for it at the end of a unit: today's minutes,
// then every line of the window. Argument: evaluateLastXDays, -1 for the whole ten years.
void BM_PercentileRank(benchmark::State& state) {
    LogFixture& f = fixture();
    DebugLog debug(f.clock);
    ActivityLog log(f.clock, f.settings, debug, f.ui);
    log.LoadLog();
    const QDateTime now(lastDay, QTime(18, 0), Qt::UTC);
    const int days = static_cast<int>(state.range(0));
    for (auto _ : state) {
        int today = 0;
        for (const FinishedUnit& unit : log.FinishedUnits(lastDay))
            today += unit.minutes;
        const QDateTime first(percentile::FirstLogDate(log.lines(), lastDay), QTime(0, 0), Qt::UTC);
        const QDateTime start = days < 0 || now.addDays(-days) < first ? first : now.addDays(-days);
        benchmark::DoNotOptimize(percentile::PercentileRank(log.lines(), today, now, start));
    }
}

} // namespace

BENCHMARK(BM_PercentileRank)->Arg(100)->Arg(-1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLog)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Queries)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadAndQuery)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FinishedUnitsOldDay)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
