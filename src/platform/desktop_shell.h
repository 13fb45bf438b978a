#pragma once

#include "shell.h"

#include <chrono>

class QUrl;

// Opens files and addresses through QDesktopServices (xdg-open on Linux, ShellExecute on
// Windows).
class DesktopShell final : public Shell {
public:
    // How long an opener may run before it counts as the program that took the file.
    explicit DesktopShell(std::chrono::milliseconds patience = std::chrono::seconds(3))
        : m_patience(patience) {}
    bool openFile(const QString& path) override;
    bool openAddress(const QString& address) override;
    void openFileThen(const QString& path, std::function<void(bool opened)> done) override;
    QString lastFailure() const override { return m_lastFailure; }

private:
    bool open(const QUrl& url);
    std::chrono::milliseconds m_patience;
    QString m_lastFailure;
};
