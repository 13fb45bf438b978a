#include "run_key_autostart_entry.h"

#include <QSettings>

namespace {

const QString runKey = QStringLiteral("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString valueName = QStringLiteral("Taktplan");

} // namespace

QString AutostartEntry::programToStart(const QString& runningProgram) {
    return runningProgram;
}

std::unique_ptr<AutostartEntry> AutostartEntry::forProgram(const QString& programPath) {
    return std::make_unique<RunKeyAutostartEntry>(programPath);
}

RunKeyAutostartEntry::RunKeyAutostartEntry(QString programPath) : m_programPath(std::move(programPath)) {}

bool RunKeyAutostartEntry::write() {
    QSettings key(runKey, QSettings::NativeFormat);
    key.setValue(valueName, commandLine(m_programPath));
    key.sync();
    return key.status() == QSettings::NoError;
}

bool RunKeyAutostartEntry::remove() {
    QSettings key(runKey, QSettings::NativeFormat);
    key.remove(valueName);
    key.sync();
    return key.status() == QSettings::NoError;
}

bool RunKeyAutostartEntry::exists() const {
    const QSettings key(runKey, QSettings::NativeFormat);
    return key.contains(valueName);
}
