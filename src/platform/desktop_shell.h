#pragma once

#include "shell.h"

class QUrl;

// Opens files and addresses through QDesktopServices (xdg-open on Linux, ShellExecute on
// Windows).
class DesktopShell final : public Shell {
public:
    bool openFile(const QString& path) override;
    bool openAddress(const QString& address) override;
    QString lastFailure() const override { return m_lastFailure; }

private:
    bool open(const QUrl& url);
    QString m_lastFailure;
};
