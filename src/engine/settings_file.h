#pragma once

#include "settings.h"

#include <QString>

class DataFolder;
class DebugLog;
class UserInterface;

// Reads and writes Settings.ini in the data folder.
class SettingsFile {
public:
    SettingsFile(const DataFolder& folder, DebugLog& debugLog, UserInterface& ui);

    QString filePath() const;

    // The value after the first "=" of the last line containing key + "=" (untrimmed); empty
    // when the file or the key is missing or the file cannot be read. Leaves its debug line.
    QString ReadSettingValue(const QString& key);

    // Fills the record: defaults, then every key in its order and by its rule. Sets
    // firstStart() when the file did not exist.
    void LoadSettings(Settings& settings);

    // Rewrites the whole file from the template (atomically; a failed save leaves the old file
    // and a debug line). Normalises Schriftgroesse <= 0 to 10 and evaluateLastXDays 0 to 100 in
    // the record. Returns false when the file could not be written.
    bool SaveSettings(Settings& settings);

    bool firstStart() const { return m_firstStart; }

private:
    const DataFolder& m_folder;
    DebugLog& m_debugLog;
    UserInterface& m_ui;
    bool m_firstStart = false;
};
