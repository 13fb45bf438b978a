#pragma once

// What the run engine asks of the Timer window beyond the run state it publishes: the commands
// that are no state. The window implements it; NullTimerView stands in before the window exists.
class TimerView {
public:
    virtual ~TimerView() = default;

    virtual void showFirstStartHint() = 0;
    // The reminder window, if visible, is shown again so that it stays in front.
    virtual void raiseReminderIfVisible() = 0;
};

// Does nothing: no Timer window (yet).
class NullTimerView final : public TimerView {
public:
    void showFirstStartHint() override {}
    void raiseReminderIfVisible() override {}
};
