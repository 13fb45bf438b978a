#pragma once

#include "run_state.h"

#include <QList>
#include <QObject>

#include <functional>

struct PlanningLook;

// The run state the Planning window shows: the runner's once observed, else one of its own
// (in a window without a runner, or after the runner is gone). Every change reaches the window
// with what it showed before, so that each widget is touched only when its part changed.
class ShownRunState final : public QObject {
public:
    using Show = std::function<void(const RunState& now, const RunState& was)>;

    explicit ShownRunState(Show show);

    // Follows `state` from now on; what is shown so far is handed over first.
    void observe(RunStatePublisher& state);
    template <class Change> void update(Change&& change) { m_state->update(change); }
    // The caption suffix and its blink, and with withStartItem the start item, by the one rule.
    void showLook(const PlanningLook& look, bool withStartItem);

    // What the window shows; set directly only before the first change.
    RunState shown;

private:
    void show(const RunState& state);

    Show m_show;
    RunStatePublisher m_own;
    RunStatePublisher* m_state = &m_own;
    QList<QMetaObject::Connection> m_connections;
};
