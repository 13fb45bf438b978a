#pragma once

#include "companion_program.h"
#include "core_wiring.h"
#include "fake_clock.h"
#include "fake_launcher.h"
#include "fake_platform_services.h"
#include "fake_run_views.h"
#include "plan_time.h"
#include "qt_print.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"
#include "typed_entry.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <memory>

// The Timer window's side of the run state as one word per change it would show: "show",
// "hide", "presence" (the confirmation window comes up), "lock <interval>", "lock off".
struct TimerRecord {
    void follow(RunStatePublisher& publisher) {
        m_was = publisher.state();
        QObject::connect(&publisher, &RunStatePublisher::changed, [this](const RunState& s) { note(s); });
    }
    QStringList calls;

private:
    void note(const RunState& s) {
        if (s.timerVisible != m_was.timerVisible)
            calls.append(s.timerVisible ? QStringLiteral("show") : QStringLiteral("hide"));
        if (s.presenceConfirmationVisible && !m_was.presenceConfirmationVisible)
            calls.append(QStringLiteral("presence"));
        if (s.workstationLockIntervalMs != m_was.workstationLockIntervalMs)
            calls.append(s.workstationLockIntervalMs
                             ? QStringLiteral("lock ") + QString::number(s.workstationLockIntervalMs)
                             : QStringLiteral("lock off"));
        m_was = s;
    }
    RunState m_was;
};

// The program's core without windows on a fake clock, wired as the program wires it, over a
// fresh data folder that is also the working folder (so "Sounds" below it is found). Given the
// program that ran before, it starts over that program's files, as after a restart.
class Day {
public:
    explicit Day(const QDateTime& start = QDateTime(QDate(2026, 12, 7), QTime(9, 0)),
                 const Day* before = nullptr)
        : clock(start), m_previousFolder(QDir::currentPath()),
          core((prepareFolder(before),
                CoreWiring::Platform{clock, data.folder(), ui, companion, sound, speaker, shell, lock,
                                     autostart, countdown, notifier})) {
        records.settings.DefaultSollWert = -1;
        // The tables' logs are those of days without a target asked at the start; the rows
        // about that question switch it on.
        records.extras.targetAtFirstStart = false;
        timer.follow(runner.runState());
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
        core.takeInFinishedUnits();
        runner.markJustStarted();
        return runner.autoStart();
    }
    // The program ends (as when it is told to) and is started again with "-autostart" after
    // downSecs of real time, over the same files.
    static void restart(std::unique_ptr<Day>& day, qint64 downSecs) {
        day->core.finish();
        auto next = std::make_unique<Day>(day->clock.localNow().addSecs(downSecs), day.get());
        next->m_previousFolder = day->m_previousFolder;
        day.reset();
        QDir::setCurrent(next->data.path());
        day = std::move(next);
        day->resume();
    }
    void setTime(QTime time) { clock.set(clock.today(), time); }

    QString file(const char* name) const { return QString::fromUtf8(data.read(QLatin1String(name))); }
    QString log() const { return file("Dezuzedu.log"); }
    // The main-menu start item as the run state gives it, " [disabled]" when it cannot be used.
    QString startItem() {
        const RunState& s = runner.runState().state();
        return s.startCaption + (s.startEnabled ? QString() : QStringLiteral(" [disabled]"));
    }
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
    FakeSoundPlayer sound;
    FakeSpeaker speaker;
    FakeShell shell;
    FakeWorkstationLock lock;
    FakeAutostartEntry autostart;
    RecordingCountdown countdown;
    FakeNotifier notifier;
    TimerRecord timer;

private:
    // The folder as the program finds it: the files of the run before (the log path in the
    // settings moves with them) and the sounds; it becomes the working folder.
    void prepareFolder(const Day* before) {
        if (before) {
            for (const QString& name : QDir(before->data.path()).entryList(QDir::Files))
                data.write(name, before->data.read(name).replace(QFile::encodeName(before->data.path()),
                                                                 QFile::encodeName(data.path())));
        }
        QDir().mkpath(data.filePath(QStringLiteral("Sounds")));
        for (const char* name : {"Start.wav", "Ende_Einheit.wav", "Feierabend.wav"})
            data.write(QStringLiteral("Sounds/") + QLatin1String(name), "RIFF");
        QDir::setCurrent(data.path());
    }

    QString m_previousFolder;
    CoreWiring core;

public:
    Records& records = core.records;
    Worklist& list = core.worklist;
    PlanFile& planFile = core.planFile;
    SidePublisher& publisher = core.publisher;
    PlanRunner& runner = core.runner;
    RunEngine& engine = core.engine;
};
