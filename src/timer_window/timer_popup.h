#pragma once

#include "timer_menu.h"

#include <functional>

class QMenu;
class QWidget;

// The Timer window's popup menu pm1 as widgets: built once from the item list, its states set
// from the rules of timer_menu.h.
namespace timerpopup {

// The menu with every item (hidden ones included), "Planungsmodus" as its default, the ticks of
// "Nutzer anwesend" and "Aktuelle Einheit gescheitert", and "Beenden" > "Bestätigen". Each item
// reports to chosen with its tick; "Bestätigen" reports Item::Beenden.
QMenu* build(QWidget* parent, const std::function<void(timermenu::Item item, bool checked)>& chosen);
// Visible, enabled and ticked as the rules say for this situation.
void apply(QMenu* menu, const timermenu::Situation& situation);
// The warning after "Aktuelle Einheit gescheitert" is ticked.
void showFailedWarning(QWidget* parent);

} // namespace timerpopup
