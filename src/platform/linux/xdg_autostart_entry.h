#pragma once

#include "../autostart_entry.h"

#include <QByteArray>
#include <QString>

// The Run entry on Linux and other free desktops: an XDG autostart desktop entry
// $XDG_CONFIG_HOME/autostart/taktplan.desktop (default ~/.config/autostart) whose Exec runs
// the program with "-autostart".
class XdgAutostartEntry final : public AutostartEntry {
public:
    XdgAutostartEntry(QString filePath, QString programPath);

    static QString defaultFilePath();

    bool write() override;
    bool remove() override;
    bool exists() const override;

    const QString& filePath() const { return m_filePath; }

    // The whole desktop entry as written (UTF-8, LF line ends).
    QByteArray contents() const;
    // The value of the Exec key for the program: the path quoted by the desktop entry rules, so
    // that blanks, quotes, dollars, backslashes and percent signs survive.
    static QString execValue(const QString& programPath);

private:
    QString m_filePath;
    QString m_programPath;
};
