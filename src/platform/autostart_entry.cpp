#include "autostart_entry.h"

#include <QDir>

QString AutostartEntry::commandLine(const QString& programPath) {
    return u'"' + QDir::toNativeSeparators(programPath) + QStringLiteral("\" -autostart");
}
