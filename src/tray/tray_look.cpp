#include "tray_look.h"

#include "timer_display.h"
#include "translate.h"

namespace traylook {

namespace {

// A plan runs from its start command until it is re-planned or over.
bool planRuns(const RunState& s) {
    return !s.runMenuEnabled;
}

} // namespace

Icon iconOf(const RunState& s) {
    Icon icon;
    icon.unitColours = timerdisplay::unitColours(s.phase);
    if (!s.ticking)
        return icon;
    const qint64 r = s.remainingSeconds;
    // An hour and more does not fit the icon's few pixels: whole hours only.
    icon.text = r < 3600 ? timerdisplay::timeText(r, false) : QString::number(r / 3600) + u'h';
    return icon;
}

QString toolTip(const RunState& s) {
    return s.timerTooltip.isEmpty() ? QStringLiteral("Taktplan") : s.timerTooltip;
}

QString caption(Item item, const RunState& s) {
    switch (item) {
    case Item::Planungsmodus:
        return timermenu::caption(timermenu::Item::Planungsmodus);
    case Item::NeuPlanen:
        return planRuns(s) && !s.startCaption.isEmpty() ? s.startCaption : tr_("Neu planen");
    case Item::NutzerAnwesend:
        return timermenu::caption(timermenu::Item::NutzerAnwesend);
    case Item::Auswertung:
        return timermenu::caption(timermenu::Item::Auswertung);
    case Item::Beenden:
        return timermenu::caption(timermenu::Item::Beenden);
    }
    return {};
}

bool checkable(Item item) {
    return item == Item::NutzerAnwesend;
}

ItemState stateOf(Item item, const RunState& s, const timermenu::Situation& situation) {
    using timermenu::stateOf;
    using TI = timermenu::Item;
    switch (item) {
    case Item::Planungsmodus:
        return {true, false};
    case Item::NeuPlanen:
        return {planRuns(s) && s.startEnabled, false};
    case Item::NutzerAnwesend: {
        // The Timer window's menu shows it only when it can be used.
        const timermenu::ItemState timer = stateOf(TI::NutzerAnwesend, situation);
        return {timer.visible && timer.enabled, timer.checked};
    }
    case Item::Auswertung:
        // The evaluation only reads the log: here it stays reachable while a plan runs, when
        // the Timer window's menu keeps it off until a re-planning.
        return {true, false};
    case Item::Beenden:
        return {stateOf(TI::Beenden, situation).enabled, false};
    }
    return {};
}

Click clickAction(const RunState& s, bool planningVisible) {
    if (planRuns(s))
        return Click::PlanningMode;
    return planningVisible ? Click::HidePlanning : Click::ShowPlanning;
}

} // namespace traylook
