#pragma once

#include "run_state.h"
#include "timer_menu.h"

#include <QString>

// What the tray icon shows of the run state, and its menu's rules, without any widget.
namespace traylook {

// The icon: the remaining time as the Timer window's strip shows it (empty: no phase counts
// down) in the phase's colours.
struct Icon {
    QString text;
    bool unitColours = true;
    bool operator==(const Icon&) const = default;
};
Icon iconOf(const RunState& state);
// The Timer window's hint text; the program's name while there is none.
QString toolTip(const RunState& state);

enum class Item { Planungsmodus, NeuPlanen, NutzerAnwesend, Auswertung, Beenden };
constexpr int itemCount = 5;

struct ItemState {
    bool enabled = false;
    bool checked = false;
    bool operator==(const ItemState&) const = default;
};
// The caption, translated: "Neu planen" carries the Planning window's count of re-plannings left.
QString caption(Item item, const RunState& state);
bool checkable(Item item);
// Enabled when the Timer window's menu offers the same item, and whatever the Planning window's
// start item allows.
ItemState stateOf(Item item, const RunState& state, const timermenu::Situation& situation);

// A click on the icon: while a plan runs, "Planungsmodus"; else the Planning window shown or
// hidden.
enum class Click { PlanningMode, ShowPlanning, HidePlanning };
Click clickAction(const RunState& state, bool planningVisible);

} // namespace traylook
