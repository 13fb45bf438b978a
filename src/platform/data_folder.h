#pragma once

#include <QString>

// The per-user folder that holds Settings.ini, worklist.log, the routine file and the debug log.
// TAKTPLAN_DATA_DIR overrides it (portable use, tests); otherwise %APPDATA%\Taktplan on
// Windows and $XDG_DATA_HOME/Taktplan (default ~/.local/share/Taktplan) elsewhere.
class DataFolder {
public:
    // The folder as found from the environment; it is not created here.
    static DataFolder fromEnvironment();
    explicit DataFolder(QString path);

    const QString& path() const { return m_path; }
    // Absolute path of a file in the folder.
    QString filePath(const QString& fileName) const;
    bool exists() const;
    // Creates the folder (and its parents) when missing; true when it exists afterwards.
    bool ensureExists() const;

private:
    // %APPDATA%\Taktplan or $XDG_DATA_HOME/Taktplan: one implementation per system.
    static QString systemDefaultPath();

    QString m_path;
};
