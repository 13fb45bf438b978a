#pragma once

#include "fake_clock.h"
#include "fake_run_control.h"
#include "plan_time.h"
#include "qt_print.h"
#include "settings.h"
#include "worklist.h"

#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

// A Planning window stand-in that records what the plan told it.
class RecordingHost final : public PlanningHost {
public:
    void captionChanged(const QString& caption) override { captions.append(caption); }
    void entriesChanged() override { ++entriesChangedCalls; }
    void restartUpdateTimer() override { ++timerRestarts; }

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

inline QStringList titles(const Worklist& list) {
    QStringList out;
    for (const PlanEntry& e : list.entries())
        out.append(e.displayText);
    return out;
}

// The rows under "[section]" in data/rows.txt, up to the next blank line.
inline QStringList goldenRows(const char* section) {
    QFile f(QStringLiteral(PLAN_TEST_DATA "/rows.txt"));
    const QStringList lines = f.open(QIODevice::ReadOnly)
                                  ? QString::fromUtf8(f.readAll()).remove(u'\r').split(u'\n')
                                  : QStringList();
    const qsizetype from = lines.indexOf(u'[' + QString::fromUtf8(section) + u']') + 1;
    if (from == 0)
        return {QStringLiteral("<no rows for ") + QString::fromUtf8(section) + u'>'};
    const qsizetype end = lines.indexOf(QString(), from);
    return lines.mid(from, end < 0 ? -1 : end - from);
}

// Each entry as title, "@", start and conflict mark ("A@09:00", "B@09:30E").
inline QString starts(const Worklist& list) {
    QStringList out;
    for (const PlanEntry& e : list.entries())
        out.append(e.displayText + QLatin1Char('@') + e.startTime + e.conflictMark);
    return out.join(QLatin1Char(' '));
}

// Wall-clock time on a day of December 2026 (Monday the 7th is the fake clock's day).
inline QDateTime dec(int day, int h, int min) {
    return plantime::wall(QDate(2026, 12, day), QTime(h, min));
}

// A plan on the fake clock's day (Monday 07.12.2026, 09:00 unless a test moves it).
class PlanTest : public ::testing::Test {
public:
    PlanTest() { list.setRunControl(&run); }

    void add(const QString& title, const QDateTime& start, const char* status, int minutes = 25,
             bool fixed = true, bool pause = false) {
        list.AddEntry(title, pause, start, minutes, fixed, QString::fromLatin1(status));
    }
    void addUnit(const QString& title, int minutes = 25) {
        add(title, plantime::now(clock), " ", minutes, false);
    }
    void addPause(int minutes, const QString& title = QString()) {
        add(title, plantime::now(clock), " ", minutes, false, true);
    }
    void addFixed(const QString& title, int h, int m, int minutes = 25, bool pause = false) {
        add(title, plantime::wall(clock.today(), QTime(h, m)), " ", minutes, true, pause);
    }
    void setNow(int h, int m, int s = 0) { clock.set(clock.today(), QTime(h, m, s)); }
    void tick(int secs) {
        clock.advanceSecs(secs);
        list.RecomputeSchedule();
    }

    FakeClock clock;
    Settings settings;
    RecordingHost host;
    FakeRunControl run;
    Worklist list{clock, settings, host};
};
