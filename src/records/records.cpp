#include "records.h"

#include "clock.h"
#include "companion_program.h"
#include "data_folder.h"

Records::Records(const Clock& theClock, const DataFolder& dataFolder, UserInterface& ui)
    : clock(theClock), folder(dataFolder), debugLog(theClock), settingsFile(dataFolder, debugLog, ui),
      extrasFile(dataFolder, debugLog), activityLog(theClock, settings, debugLog, ui) {}

void Records::start(CompanionProgram& companion) {
    companion.versionCheck();
    debugLog.AddDebugLine(QStringLiteral("Starte Taktplan ") + QLatin1String(CompanionProgram::version));
    settingsFile.LoadSettings(settings);
    extrasFile.load(extras);
    activityLog.LoadLog();
    dailyTarget = activityLog.TargetForDay(clock.today());
    // The lines of the start-up go in with one write; from here on each line as it comes.
    debugLog.writeThrough(debugLogPath());
}

bool Records::saveSettings() {
    return settingsFile.SaveSettings(settings);
}

bool Records::saveExtras() {
    return extrasFile.save(extras);
}

void Records::finish() {
    // The folder may have gone while the program ran; without it this run's account is lost.
    folder.ensureExists();
    // The settings first: when they cannot be written, the debug text still tells why.
    saveSettings();
    debugLog.SaveDebugLog(debugLogPath());
}

QString Records::debugLogPath() const {
    return folder.filePath(QStringLiteral("debug_log.txt"));
}
