#pragma once

#include "data_folder.h"
#include "percentile_rank.h"
#include "plan_file.h"
#include "plan_runner.h"
#include "records.h"
#include "run_engine.h"
#include "side_publisher.h"
#include "worklist.h"

class AutostartEntry;
class Clock;
class CompanionProgram;
class CountdownOverlay;
class DesktopNotifier;
class Shell;
class SoundPlayer;
class Speaker;
class UserInterface;
class WorkstationLock;

// The program without its windows: the records, the plan and its file, what is published
// around a run, the percentile rank, the plan runner and the run engine, built in the one order
// the program runs them in. The program and the whole-day tests both build it here, so a test
// day runs over the same wiring as the user's day. The windows come later and attach to the
// runner and the engine as their views.
class CoreWiring {
public:
    // What the core asks of the system and of the user. The countdown overlay is a window the
    // caller makes first: the runner and the engine tell it when to count.
    struct Platform {
        const Clock& clock;
        DataFolder folder;
        UserInterface& ui;
        CompanionProgram& companion;
        SoundPlayer& sound;
        Speaker& speaker;
        Shell& shell;
        WorkstationLock& workstationLock;
        AutostartEntry& runEntry;
        CountdownOverlay& countdown;
        // The moments of a run (a unit's end, the plan's end, the task-change hint) go to it
        // while the notifications are switched on.
        DesktopNotifier& notifier;
    };

    // Reads the records (settings, activity log, today's target) and computes the rank once.
    explicit CoreWiring(const Platform& platform);
    CoreWiring(const CoreWiring&) = delete;
    CoreWiring& operator=(const CoreWiring&) = delete;

    // After the plan file is read: today's finished units from the activity log join the plan,
    // and a unit the log shows as finished while the plan still runs it is settled and saved.
    void takeInFinishedUnits();
    // Program end, after the plan is saved: the side files still queued, then the settings and
    // the debug text.
    void finish();

private:
    DataFolder m_folder;

public:
    Records records;
    Worklist worklist;
    PlanFile planFile;
    SidePublisher publisher;
    PercentileRank percentile;
    PlanRunner runner;
    RunEngine engine;
};
