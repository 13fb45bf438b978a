#include "timer_menu.h"

#include "translate.h"

namespace timermenu {

QString objectName(Item item) {
    switch (item) {
    case Item::Planungsmodus:
        return QStringLiteral("Neuplanen1");
    case Item::NutzerAnwesend:
        return QStringLiteral("BesttigungvorStartdernchstenEinheit1");
    case Item::EinheitGescheitert:
        return QStringLiteral("mniEinheitGescheitert1");
    case Item::NeueEinheit:
        return QStringLiteral("Restart1");
    case Item::Logs:
        return QStringLiteral("Logs");
    case Item::Auswertung:
        return QStringLiteral("Auswertung1");
    case Item::Einstellungen:
        return QStringLiteral("Einstellungen1");
    case Item::Info:
        return QStringLiteral("Info");
    case Item::Beenden:
        return QStringLiteral("Exit1");
    }
    return {};
}

QString caption(Item item) {
    switch (item) {
    case Item::Planungsmodus:
        return tr_("Planungsmodus");
    case Item::NutzerAnwesend:
        return tr_("Nutzer anwesend");
    case Item::EinheitGescheitert:
        return tr_("Aktuelle Einheit gescheitert");
    case Item::NeueEinheit:
        return tr_("Neue Einheit");
    case Item::Logs:
        return tr_("Logs");
    case Item::Auswertung:
        return tr_("Auswertung");
    case Item::Einstellungen:
        return tr_("Einstellungen");
    case Item::Info:
        return tr_("Über Taktplan");
    case Item::Beenden:
        return tr_("Beenden");
    }
    return {};
}

ItemState stateOf(Item item, const Situation& s) {
    switch (item) {
    case Item::Planungsmodus:
        return {true, true, false};
    case Item::NutzerAnwesend:
        return {s.tickRunning && !s.unitRunning && s.presenceRequired, true, s.presenceConfirmed};
    case Item::EinheitGescheitert:
        // Only a user who can no longer re-plan may give a unit up.
        return {s.unitRunning && s.replansLeft == 0, true, s.failedMark};
    case Item::Logs:
    case Item::Auswertung:
        return {true, s.runMenuEnabled && !s.unitRunning, false};
    case Item::NeueEinheit:
    case Item::Einstellungen:
    case Item::Info:
    case Item::Beenden:
        // Reached from the Planning window, not from here; they only follow the run state.
        return {false, s.runMenuEnabled, false};
    }
    return {};
}

} // namespace timermenu
