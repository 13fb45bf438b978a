#include "planning_timers.h"

#include "conversion_guard.h"
#include "planning_look.h"
#include "settings.h"
#include "shown_run_state.h"
#include "worklist.h"

#include <QTimer>
#include <QWidget>

#include <utility>

using namespace Qt::StringLiterals;

PlanningTimers::PlanningTimers(Parts parts) : QObject(&parts.window), m_parts(std::move(parts)) {
    const auto make = [this](const QString& name, int interval, void (PlanningTimers::*step)()) {
        auto* t = new QTimer(this);
        t->setObjectName(name);
        t->setInterval(interval);
        connect(t, &QTimer::timeout, this, step);
        return t;
    };
    update = make(u"tmrUpdate"_s, 100, &PlanningTimers::updateStep);
    blink = make(u"tmrBlinken"_s, 250, &PlanningTimers::blinkStep);
    captionBlink = make(u"tmrCaptionBlinken"_s, 500, &PlanningTimers::captionBlinkStep);
    autoStart = make(u"tmrAutoStart"_s, 100, &PlanningTimers::autoStartStep);
    // The rank moves with the time of day even when nothing is done.
    percentileRank = make(u"tmrUpdatePercentileRank"_s, 60'000, &PlanningTimers::percentileRankStep);
    percentileRank->start();
}

void PlanningTimers::updateStep() {
    if (m_parts.guard.run([this] { m_parts.worklist.RecomputeSchedule(); }, "tmrUpdateTimer"))
        m_parts.guard.forgetLast();
}

void PlanningTimers::blinkStep() {
    if (m_parts.worklist.finishBlinkStep())
        return;
    blink->stop();
    // Nothing pending any more: the plan can be edited again.
    if (m_parts.worklist.NextPendingTitle().isEmpty())
        m_parts.runState.update([](RunState& st) { st.inputVisible = true; });
}

void PlanningTimers::captionBlinkStep() {
    const RunState::Phase phase = runPhase(m_parts.worklist);
    if (phase == RunState::Phase::Unit) {
        // The next schedule refresh writes the caption.
        m_parts.worklist.blinkCaptionSuffix(m_parts.runState.shown.captionSuffix);
        return;
    }
    m_parts.runState.showLook(planningLook(phase, m_parts.settings.Verbleibend), false);
}

void PlanningTimers::autoStartStep() {
    autoStart->stop();
    if (!m_parts.autoStart)
        return;
    m_parts.autoStart();
    m_parts.afterAutoStart();
}

void PlanningTimers::percentileRankStep() {
    if (!m_parts.settings.showPercentileRanking)
        return;
    // Only while someone can see the rank: in the Planning window's caption, or in the Timer
    // window during a pause.
    const bool timerShowsPause =
        timerWindow && timerWindow->isVisible() && runPhase(m_parts.worklist) == RunState::Phase::Pause;
    if (!m_parts.window.isVisible() && !timerShowsPause)
        return;
    if (updatePercentile)
        updatePercentile();
    m_parts.worklist.UpdateCaption();
}
