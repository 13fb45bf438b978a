#pragma once

#include <QString>

// What the start-up does with the command line and the Autostart setting: whether the Planning
// window shows, whether the plan resumes by itself, and whether the Run entry stays.
struct StartUpDecision {
    bool autostartArgument = false; // the first argument is exactly "-autostart"
    bool showPlanningWindow = true;
    bool enableAutoStart = false; // tmrAutoStart: the running plan resumes shortly after start
    bool keepRunEntry = false;    // otherwise the Run entry is removed at start

    // firstArgument: the first command-line argument as given (null when there is none).
    static StartUpDecision decide(const QString& firstArgument, bool autostartSetting);
};
