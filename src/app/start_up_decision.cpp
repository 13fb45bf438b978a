#include "start_up_decision.h"

StartUpDecision StartUpDecision::decide(const QString& firstArgument, bool autostartSetting) {
    StartUpDecision decision;
    // Compared exactly: case matters and a prefix is not enough.
    decision.autostartArgument = firstArgument == u"-autostart";
    // Started by the Run entry or with a plan still active, the program comes up quietly and
    // lets the automatic start decide what to show.
    decision.showPlanningWindow = !decision.autostartArgument && !autostartSetting;
    decision.enableAutoStart = decision.autostartArgument || autostartSetting;
    decision.keepRunEntry = decision.autostartArgument;
    return decision;
}
