#include "autostart_entry.h"

#include <QDir>

#ifdef Q_OS_WIN
#include "windows/run_key_autostart_entry.h"
#else
#include "linux/xdg_autostart_entry.h"
#endif

QString AutostartEntry::commandLine(const QString& programPath) {
    return u'"' + QDir::toNativeSeparators(programPath) + QStringLiteral("\" -autostart");
}

std::unique_ptr<AutostartEntry> AutostartEntry::forProgram(const QString& programPath) {
#ifdef Q_OS_WIN
    return std::make_unique<RunKeyAutostartEntry>(programPath);
#else
    return std::make_unique<XdgAutostartEntry>(XdgAutostartEntry::defaultFilePath(), programPath);
#endif
}
