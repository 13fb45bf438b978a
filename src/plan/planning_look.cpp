#include "planning_look.h"

#include "run_control.h"
#include "translate.h"
#include "worklist.h"

PlanningLook planningLook(RunState::Phase phase, int replansLeft) {
    PlanningLook look;
    if (phase == RunState::Phase::Planning) {
        look.startCaption = tr_("Start");
        return look;
    }
    // While a plan runs the start item re-plans; a negative allowance (a hand-edited file) is
    // no limit, as re-planning treats it.
    look.startCaption =
        replansLeft < 0 ? tr_("Neu planen") : tr_("Neu planen") + QStringLiteral(" (%1)").arg(replansLeft);
    look.startEnabled = replansLeft != 0;
    look.planningMenus = false;
    if (phase == RunState::Phase::Unit) {
        look.captionSuffix = tr_(" - EINHEIT AKTIV");
        look.captionBlink = true;
        look.fileMenu = false;
    } else {
        look.captionSuffix = tr_(" - PAUSE AKTIV");
    }
    return look;
}

RunState::Phase runPhase(const Worklist& worklist) {
    const RunControl* run = worklist.runControl();
    if (run && run->unitRunning())
        return RunState::Phase::Unit;
    return worklist.runActive() ? RunState::Phase::Pause : RunState::Phase::Planning;
}
