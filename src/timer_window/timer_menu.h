#pragma once

#include <QString>

// The Timer window's popup menu pm1: its items in order, and when each shows, acts and is
// ticked.
namespace timermenu {

enum class Item {
    Planungsmodus,
    NutzerAnwesend,
    EinheitGescheitert,
    NeueEinheit,
    Logs,
    Auswertung,
    Einstellungen,
    Info,
    Beenden,
};
constexpr int itemCount = 9;

// What the rules look at when the menu opens.
struct Situation {
    bool tickRunning = false;      // tmrZeit runs: a plan runs
    bool unitRunning = false;      // a unit phase, not a pause or a wait
    bool presenceRequired = false; // AnwesenheitErforderlich
    bool presenceConfirmed = false;
    int replansLeft = -1; // Verbleibend
    bool failedMark = false;
    bool runMenuEnabled = true; // cleared by the start command, set by re-planning
};

struct ItemState {
    bool visible = false;
    bool enabled = false;
    bool checked = false;
    bool operator==(const ItemState&) const = default;
};

// The object name, the same in every language.
QString objectName(Item item);
// The caption, translated.
QString caption(Item item);
ItemState stateOf(Item item, const Situation& situation);

} // namespace timermenu
