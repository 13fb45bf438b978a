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
#include <QFile>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << QString(s).replace(QStringLiteral("\r\n"), QStringLiteral("\\r\\n")).toStdString() << '"';
}

// A whole program without windows on a fake clock: records, plan, runner and engine over a
// fresh data folder that is also the working folder (so "Sounds" below it is found). Given the
// program that ran before, it starts over that program's files, as after a restart. Publishing
// holds the publisher, built over the records and the list; by default one that writes nothing.
struct NoPublishing {
    NoPublishing(Records&, Worklist&) {}
    NullPublisher publisher;
};

template <class Publishing = NoPublishing> class BasicDay {
public:
    explicit BasicDay(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(9, 0)),
                      const BasicDay* before = nullptr)
        : clock(start) {
        m_previousFolder = QDir::currentPath();
        if (before) {
            // The same folder in a new place: the log path in the settings moves with it.
            for (const QString& name : QDir(before->data.path()).entryList(QDir::Files))
                data.write(name, before->data.read(name).replace(QFile::encodeName(before->data.path()),
                                                                 QFile::encodeName(data.path())));
        }
        QDir().mkpath(data.filePath(QStringLiteral("Sounds")));
        for (const char* name : {"Start.wav", "Ende_Einheit.wav", "Feierabend.wav"})
            data.write(QStringLiteral("Sounds/") + QLatin1String(name), "RIFF");
        QDir::setCurrent(data.path());
        records.start(companion);
        records.settings.DefaultSollWert = -1;
        engine.setPlanningView(&planning);
        runner.setView(&planning);
    }
    ~BasicDay() { QDir::setCurrent(m_previousFolder); }

    // As the input field does.
    void type(const QString& text) {
        const Settings& s = records.settings;
        const TypedEntry e = TypedEntry::parse(text, s.StandardDauerEinheit, s.GrossePause);
        list.AddEntry(e.title, e.isPause, plantime::wall(clock.today(), QTime(0, 0)), e.duration, false,
                      QStringLiteral(" "));
    }
    // The two timers that carry the program, in 100 ms steps: tmrZeit while the engine runs,
    // tmrUpdate (the schedule) while it does not.
    void step() {
        clock.advanceMs(100);
        if (engine.active())
            engine.Tick();
        else
            list.RecomputeSchedule();
    }
    void runUntil(QTime time, QDate day = QDate()) {
        const QDateTime end(day.isValid() ? day : clock.today(), time);
        while (clock.localNow() < end)
            step();
    }
    // As runUntil, for a span of real time (the clock may show an hour twice).
    void runFor(qint64 secs) {
        for (qint64 i = 0; i < secs * 10; ++i)
            step();
    }
    // Start-up with "-autostart": the plan file and today's finished units are read, then
    // tmrAutoStart fires.
    bool resume() {
        planFile.loadWorklist();
        if (list.LoadTodaysFinishedUnits(records.activityLog))
            planFile.saveWorklist();
        runner.justStarted = true;
        return runner.autoStart();
    }
    // The program ends (as when it is told to) and is started again with "-autostart" after
    // downSecs of real time, over the same files.
    static void restart(std::unique_ptr<BasicDay>& day, qint64 downSecs) {
        day->records.finish();
        auto next = std::make_unique<BasicDay>(day->clock.localNow().addSecs(downSecs), day.get());
        next->m_previousFolder = day->m_previousFolder;
        day.reset();
        QDir::setCurrent(next->data.path());
        day = std::move(next);
        day->resume();
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
    Publishing publishing{records, list};
    decltype(Publishing::publisher)& publisher = publishing.publisher;
    RecordingCountdown countdown;
    NullPercentile percentile;
    PlanRunner runner{{list, planFile, records, ui, sound, autostart, publisher, countdown}};
    RunEngine engine{{records, runner, sound, lock, companion, publisher, countdown, percentile, ui}};
    RecordingPlanningView planning;

private:
    QString m_previousFolder;
};
using Day = BasicDay<>;
