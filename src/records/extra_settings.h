#pragma once

#include <QString>
#include <QStringList>

class DataFolder;
class DebugLog;

// Settings beyond Settings.ini, whose layout other programs read byte for byte: the desktop
// presence (tray icon, notifications, global keys) and the comforts added later. They live in
// Taktplan-extras.ini in the data folder, one "Key=value" line each; unknown keys and lines are
// kept when the file is written again, so a newer version's settings survive an older one.
struct ExtraSettings {
    bool trayIcon = true;
    bool notifications = false;
    bool globalShortcuts = true;
    // A plan started on a day without a daily target asks for it, as passing midnight does.
    bool targetAtFirstStart = true;
    // The user has put the Timer strip somewhere (0, 0 included), so its saved place counts.
    bool stripPlaced = false;
};

class ExtraSettingsFile {
public:
    static constexpr char fileName[] = "Taktplan-extras.ini";

    ExtraSettingsFile(const DataFolder& folder, DebugLog& debugLog);

    QString filePath() const;
    // Missing file: defaults. A value that is not 0 or 1 keeps the default and leaves a debug
    // line naming the key.
    void load(ExtraSettings& settings);
    // Atomically; false (and a debug line) when the file could not be written.
    bool save(const ExtraSettings& settings);

private:
    const DataFolder& m_folder;
    DebugLog& m_debugLog;
    // The file's lines as read, so that keys this version does not know are written back.
    QStringList m_lines;
};
