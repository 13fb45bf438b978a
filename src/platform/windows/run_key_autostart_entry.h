#pragma once

#include "../autostart_entry.h"

#include <QString>

// The Run entry on Windows: the value "Taktplan" under the current user's
// Software\Microsoft\Windows\CurrentVersion\Run key.
class RunKeyAutostartEntry final : public AutostartEntry {
public:
    explicit RunKeyAutostartEntry(QString programPath);

    bool write() override;
    bool remove() override;
    bool exists() const override;

private:
    QString m_programPath;
};
