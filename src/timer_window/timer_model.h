#pragma once

#include "run_state.h"

#include <QtGlobal>

// What the Timer window reads from a running plan and drives in it: the run state it shows, the
// run engine's tick, and the plan runner's presence confirmation. RunningPlanModel binds it to
// the real engine and runner; tests give the window a fake.
class TimerModel {
public:
    virtual ~TimerModel() = default;

    // What the window shows, and the signal when it changed.
    virtual RunStatePublisher& runState() = 0;
    // One tmrZeit event.
    virtual void tick() = 0;
    // One tmrWindowsBlock event that fired at intervalMs.
    virtual void workstationLockStep(int intervalMs) = 0;
    virtual bool unitRunning() const = 0;
    // The tick of "Aktuelle Einheit gescheitert".
    virtual bool failedMark() const = 0;
    virtual void setFailedMark(bool failed) = 0;
    // The presence confirmation (the tick of "Nutzer anwesend").
    virtual bool presenceConfirmed() const = 0;
    virtual void setPresenceConfirmed(bool confirmed) = 0;
};

// The run engine and the plan runner as the Timer window sees them. A template so that the
// window's sources, which include this header, see neither the engine's nor the runner's class;
// the program instantiates it with RunEngine and PlanRunner.
template <class Engine, class Runner> class RunningPlanModel final : public TimerModel {
public:
    RunningPlanModel(Engine& engine, Runner& runner) : m_engine(engine), m_runner(runner) {}

    RunStatePublisher& runState() override { return m_runner.runState(); }
    void tick() override { m_engine.Tick(); }
    void workstationLockStep(int intervalMs) override { m_engine.workstationLockStep(intervalMs); }
    bool unitRunning() const override { return m_engine.unitRunning(); }
    bool failedMark() const override { return m_engine.failedMark(); }
    void setFailedMark(bool failed) override { m_engine.setFailedMark(failed); }
    bool presenceConfirmed() const override { return m_runner.presenceConfirmed(); }
    void setPresenceConfirmed(bool confirmed) override { m_runner.setPresenceConfirmed(confirmed); }

private:
    Engine& m_engine;
    Runner& m_runner;
};
