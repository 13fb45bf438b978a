#pragma once

#include "fake_clock.h"
#include "plan_time.h"
#include "settings.h"
#include "worklist.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// Readable failure output.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

// A Planning window stand-in that records what the plan told it.
class RecordingHost final : public PlanningHost {
public:
    bool engineActive() const override { return engine; }
    int percentileRank() const override { return rank; }
    void captionChanged(const QString& caption) override { captions.append(caption); }
    void entriesChanged() override { ++entriesChangedCalls; }
    void restartUpdateTimer() override { ++timerRestarts; }

    bool engine = false;
    int rank = 0;
    QStringList captions;
    int entriesChangedCalls = 0;
    int timerRestarts = 0;
};

// One entry as a compact row: number|start|end|text|mode|kind|minutes|status|date|mark.
inline QString row(const PlanEntry& e) {
    return QStringList{e.number, e.startTime, e.endTime, e.displayText, e.startMode,
                       e.kind,   e.duration,  e.status,  e.date,        e.conflictMark}
        .join(QLatin1Char('|'));
}

inline QStringList rows(const Worklist& list) {
    QStringList out;
    for (const PlanEntry& e : list.entries())
        out.append(row(e));
    return out;
}

inline QDateTime wallAt(int y, int m, int d, int h, int min) {
    return plantime::wall(QDate(y, m, d), QTime(h, min));
}

// A plan on the fake clock's day (Monday 07.12.2026, 09:00 unless a test moves it).
class PlanTest : public ::testing::Test {
protected:
    void addUnit(const QString& title, int minutes = 25) {
        list.AddEntry(title, false, plantime::now(clock), minutes, false, QStringLiteral(" "));
    }
    void addPause(int minutes, const QString& title = QString()) {
        list.AddEntry(title, true, plantime::now(clock), minutes, false, QStringLiteral(" "));
    }
    void addFixed(const QString& title, int h, int m, int minutes = 25, bool pause = false) {
        list.AddEntry(title, pause, plantime::wall(clock.today(), QTime(h, m)), minutes, true,
                      QStringLiteral(" "));
    }
    void setNow(int h, int m, int s = 0) { clock.set(clock.today(), QTime(h, m, s)); }
    void tick(int secs) {
        clock.advanceSecs(secs);
        list.RecomputeSchedule();
    }

    FakeClock clock;
    Settings settings;
    RecordingHost host;
    Worklist list{clock, settings, host};
};
