#pragma once

#include "activity_log.h"
#include "debug_log.h"
#include "extra_settings.h"
#include "settings.h"
#include "settings_file.h"

class Clock;
class CompanionProgram;
class DataFolder;
class UserInterface;

// What the Timer window owns at run time: the settings record, the debug text, the activity
// log and today's daily target. Created first at start-up; every window reads from it.
struct Records {
    Records(const Clock& clock, const DataFolder& folder, UserInterface& ui);

    // The start-up order of the records: companion program with the version, the debug line
    // "Starte Taktplan 2.2", the settings, the activity log, today's target; then the debug
    // text so far goes into debug_log.txt, and every later line as it comes.
    void start(CompanionProgram& companion);
    // SaveSettings with the debug line on failure.
    bool saveSettings();
    // Taktplan-extras.ini, written as soon as one of its settings changes.
    bool saveExtras();
    // At program end: the settings are saved, then the rest of the debug text (with any
    // failure of that save and the end line) is appended to debug_log.txt.
    void finish();

    QString debugLogPath() const;

    const Clock& clock;
    const DataFolder& folder;
    Settings settings;
    DebugLog debugLog;
    SettingsFile settingsFile;
    ExtraSettings extras;
    ExtraSettingsFile extrasFile;
    ActivityLog activityLog;
    int dailyTarget = -1000; // -1000: no target recorded for today
};
