#pragma once

#include "case_table.h"
#include "fake_clock.h"
#include "fake_run_control.h"
#include "plan_time.h"
#include "qt_print.h"
#include "settings.h"
#include "typed_entry.h"
#include "worklist.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

// A Planning window stand-in that keeps the caption the plan gave it.
class RecordingHost final : public PlanningHost {
public:
    void captionChanged(const QString& text) override { caption = text; }
    void entriesChanged() override {}
    void restartUpdateTimer() override {}

    QString caption;
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

// One text per entry, joined.
inline QString each(const Worklist& list, const std::function<QString(const PlanEntry&)>& text,
                    const QString& between = QStringLiteral(", ")) {
    QStringList out;
    for (const PlanEntry& e : list.entries())
        out.append(text(e));
    return out.join(between);
}

inline QString titles(const Worklist& list) {
    return each(list, [](const PlanEntry& e) { return e.displayText; });
}

// The rows of a section of data/rows.txt.
inline QStringList goldenRows(const char* section) {
    QStringList out;
    for (const CaseRow& r : caseTable(QStringLiteral(PLAN_TEST_DATA "/rows.txt"), QString::fromUtf8(section)))
        out.append(r[0]);
    return out;
}

// An adjustment of a typed title by its name in a case table.
inline TypedEntry::Adjustment adjustmentNamed(const QString& name) {
    const QStringList names =
        QStringLiteral("None,LineBreak,PausePrefix,RunningMark,TimeMark,FinishMark").split(u',');
    EXPECT_TRUE(names.contains(name)) << name.toStdString();
    return static_cast<TypedEntry::Adjustment>(std::max<qsizetype>(0, names.indexOf(name)));
}

// Each entry as title, "@", start and conflict mark ("A@09:00 B@09:30E").
inline QString starts(const Worklist& list) {
    return each(
        list, [](const PlanEntry& e) { return e.displayText + u'@' + e.startTime + e.conflictMark; },
        QStringLiteral(" "));
}

// Wall-clock time on a day of December 2026 (Monday the 7th is the fake clock's day).
inline QDateTime dec(int day, int h, int min) {
    return plantime::wall(QDate(2026, 12, day), QTime(h, min));
}

// "hh:mm" on the fake clock's first day, "d hh:mm" on a day of December 2026, "dd.mm.yyyy hh:mm";
// seconds may follow.
inline QDateTime at(const QString& text) {
    const QString day = text.section(u' ', 0, -2);
    const QString time = text.section(u' ', -1);
    const QDate date = day.contains(u'.') ? QDate::fromString(day, QStringLiteral("dd.MM.yyyy"))
                                          : QDate(2026, 12, day.isEmpty() ? 7 : day.toInt());
    return plantime::wall(date, QTime::fromString(time, time.size() > 5 ? QStringLiteral("hh:mm:ss")
                                                                        : QStringLiteral("hh:mm")));
}

// Numbers with blanks between them.
inline QList<int> numbers(const QString& text) {
    QList<int> out;
    for (const QString& n : text.split(u' ', Qt::SkipEmptyParts))
        out.append(n.toInt());
    return out;
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
    // Entries as a case table writes them, "; " between them: title/kind/start/minutes/status,
    // kind E or P, start "-" (relative) or as at() reads it, 25 minutes and pending unless told.
    void addPlan(const QString& plan) {
        for (const QString& entry : plan.split(QStringLiteral("; "))) {
            const QStringList f = entry.split(u'/');
            const bool relative = f.value(2) == u'-';
            list.AddEntry(f.value(0), f.value(1) == u'P', relative ? plantime::now(clock) : at(f.value(2)),
                          f.size() > 3 ? f[3].toInt() : 25, !relative,
                          f.size() > 4 ? f[4] : QStringLiteral(" "));
        }
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
