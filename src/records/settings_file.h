#pragma once

#include "settings.h"

#include <QDate>
#include <QString>
#include <QStringList>

class DataFolder;
class DebugLog;
class UserInterface;

// Reads and writes Settings.ini in the data folder.
class SettingsFile {
public:
    SettingsFile(const DataFolder& folder, DebugLog& debugLog, UserInterface& ui);

    QString filePath() const;
    // Dezuzedu.log in the data folder: the log path before the file is read, and the fallback.
    QString defaultLogPath() const;

    // The value after the first "=" of the last line containing key + "=" (untrimmed); empty
    // when the file or the key is missing or the file cannot be read. Leaves its debug line.
    QString ReadSettingValue(const QString& key);

    // Fills the record: defaults, then every key in its order and by its rule. Sets
    // firstStart() when the file did not exist.
    void LoadSettings(Settings& settings);

    // Rewrites the whole file from the template (atomically; a failed save leaves the old file,
    // a debug line and a message to the user). Normalises Schriftgroesse <= 0 to 10 and
    // evaluateLastXDays 0 (or below -1) to 100 in the record. Returns false when the file could not be
    // written; the record stays as it is.
    bool SaveSettings(Settings& settings);

    bool firstStart() const { return m_firstStart; }

    // The 83 lines of the file for the record, after the same normalisation as SaveSettings.
    static QStringList settingsLines(Settings& settings);

private:
    // One reading rule each (see LoadSettings); every call leaves its debug line.
    void readText(const QString& key, QString& field);
    void readInt(const QString& key, int& field);
    void readNonZero(const QString& key, int& field);
    void readLength(const QString& key, int& field);
    void readEvaluationDays(const QString& key, int& field);
    void readFlagOn(const QString& key, bool& field);
    void readFlagOff(const QString& key, bool& field);
    void readDate(const QString& key, QDate& field);
    // A log path without a file extension names a folder: the log goes into it, if it exists.
    void checkLogPath(Settings& settings);

    const DataFolder& m_folder;
    DebugLog& m_debugLog;
    UserInterface& m_ui;
    bool m_firstStart = false;
};
