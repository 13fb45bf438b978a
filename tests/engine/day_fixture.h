#pragma once

#include "companion_program.h"
#include "fake_clock.h"
#include "fake_launcher.h"
#include "fake_platform_services.h"
#include "fake_run_views.h"
#include "percentile.h"
#include "plan_file.h"
#include "plan_runner.h"
#include "plan_time.h"
#include "records.h"
#include "run_engine.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"
#include "typed_entry.h"
#include "worklist.h"

#include <QDir>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << QString(s).replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n")).toStdString() << '"';
}

// A whole program without windows on a fake clock: records, plan, runner and engine over a
// fresh data folder that is also the working folder (so "Sounds" below it is found).
class Day {
public:
    explicit Day(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(9, 0))) : clock(start) {
        m_previousFolder = QDir::currentPath();
        QDir().mkpath(data.filePath(QStringLiteral("Sounds")));
        for (const char* name : {"Start.wav", "Ende_Einheit.wav", "Feierabend.wav"})
            data.write(QStringLiteral("Sounds/") + QLatin1String(name), "RIFF");
        QDir::setCurrent(data.path());
        records.start(companion);
        records.settings.DefaultSollWert = -1;
        engine.setTimerView(&timer);
        engine.setPlanningView(&planning);
        runner.setView(&planning);
    }
    ~Day() { QDir::setCurrent(m_previousFolder); }

    // As the input field does.
    void type(const QString& text) {
        const Settings& s = records.settings;
        const TypedEntry e = TypedEntry::parse(text, s.StandardDauerEinheit, s.GrossePause);
        list.AddEntry(e.title, e.isPause, plantime::wall(clock.today(), QTime(0, 0)), e.duration, false,
                      QStringLiteral(" "));
    }
    // The two timers that carry the program, in 100 ms steps: tmrZeit while the engine runs,
    // tmrUpdate (the schedule) while it does not.
    void runUntil(QTime time, QDate day = QDate()) {
        const QDateTime end(day.isValid() ? day : clock.today(), time);
        while (clock.localNow() < end) {
            clock.advanceMs(100);
            if (engine.active())
                engine.Tick();
            else
                list.RecomputeSchedule();
        }
    }
    void setTime(QTime time) { clock.set(clock.today(), time); }

    QString file(const char* name) const { return QString::fromUtf8(data.read(QLatin1String(name))); }
    QString log() const { return file("Dezuzedu.log"); }
    QStringList sounds() const {
        QStringList names;
        for (const QString& p : sound.played)
            names.append(p.section(QLatin1Char('/'), -1));
        return names;
    }

    TempDataFolder data;
    FakeClock clock;
    ScriptedUi ui;
    FakeLauncher launcher;
    CompanionProgram companion{launcher};
    Records records{clock, data.folder(), ui};
    Worklist list{clock, records.settings};
    PlanFile planFile{list, clock, records.settings, data.folder(), records.debugLog, ui};
    FakeSoundPlayer sound;
    FakeWorkstationLock lock;
    FakeAutostartEntry autostart;
    NullPublisher publisher;
    RecordingCountdown countdown;
    NullPercentile percentile;
    PlanRunner runner{{list, planFile, records, ui, sound, autostart, publisher, countdown}};
    RunEngine engine{{records, runner, sound, lock, companion, publisher, countdown, percentile, ui}};
    RecordingTimerView timer;
    RecordingPlanningView planning;

private:
    QString m_previousFolder;
};
