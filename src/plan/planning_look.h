#pragma once

#include "run_state.h"

#include <QString>

class Worklist;

// What the Planning window shows of the run, from the run's phase and the re-plannings left:
// the start item, the caption suffix and its blink, and which menus can be used. One rule for
// the runner, which sets the start item when a plan starts, and for the window, which shows it.
struct PlanningLook {
    QString startCaption;
    bool startEnabled = true;
    QString captionSuffix;
    bool captionBlink = false;
    // "Datei": off while a unit runs.
    bool fileMenu = true;
    // "Liste", "Einstellungen", "Hilfe", "Neu", "Öffnen...", "Beenden": off while a plan runs.
    bool planningMenus = true;

    bool operator==(const PlanningLook&) const = default;
};

// replansLeft: the setting Verbleibend; any negative value is no limit.
PlanningLook planningLook(RunState::Phase phase, int replansLeft);

// The phase the plan's run is in, as its run control reports it (none: planning).
RunState::Phase runPhase(const Worklist& worklist);
