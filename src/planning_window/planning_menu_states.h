#pragma once

#include "run_state.h"

#include <optional>

struct PlanningMenus;

// Which of the Planning window's menu items can be used: by the run's phase, by the run state,
// and "Eintrag löschen", which only opening its menu brings back.
class PlanningMenuStates {
public:
    explicit PlanningMenuStates(const PlanningMenus& menus) : m_menus(menus) {}

    // replansLeft: the setting Verbleibend. The items are touched only when the phase changed.
    void showPhase(RunState::Phase phase, int replansLeft);
    // The start item, the list popup and "Maximale Anzahl neu planen", where their part of the
    // run state changed.
    void showRunState(const RunState& now, const RunState& was);
    // "Eintrag löschen" in "Liste" and in the list popup.
    void enableDelete(bool enabled);

private:
    const PlanningMenus& m_menus;
    std::optional<RunState::Phase> m_shownFor;
};
