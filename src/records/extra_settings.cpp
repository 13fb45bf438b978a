#include "extra_settings.h"

#include "data_folder.h"
#include "debug_log.h"
#include "text_file.h"

#include <utility>
#include <vector>

namespace {

struct FlagKey {
    const char* key;
    bool ExtraSettings::*field;
};

const std::vector<FlagKey>& flagKeys() {
    static const std::vector<FlagKey> keys = {
        {"TrayIcon", &ExtraSettings::trayIcon},
        {"Notifications", &ExtraSettings::notifications},
        {"GlobalShortcuts", &ExtraSettings::globalShortcuts},
        {"TargetAtFirstStart", &ExtraSettings::targetAtFirstStart},
        {"StripPlaced", &ExtraSettings::stripPlaced},
    };
    return keys;
}

QString keyOf(const QString& line) {
    const qsizetype equals = line.indexOf(u'=');
    return equals < 0 ? QString() : line.left(equals).trimmed();
}

} // namespace

ExtraSettingsFile::ExtraSettingsFile(const DataFolder& folder, DebugLog& debugLog)
    : m_folder(folder), m_debugLog(debugLog) {}

QString ExtraSettingsFile::filePath() const {
    return m_folder.filePath(QString::fromLatin1(fileName));
}

void ExtraSettingsFile::load(ExtraSettings& settings) {
    settings = ExtraSettings();
    m_lines.clear();
    if (textfile::isSpecialFile(filePath()))
        return;
    const textfile::ReadResult read = textfile::readLines(filePath(), 4096);
    if (!read.ok)
        return;
    m_lines = read.lines;
    for (const QString& line : std::as_const(m_lines)) {
        const QString key = keyOf(line);
        for (const FlagKey& flag : flagKeys()) {
            if (key.compare(QLatin1String(flag.key), Qt::CaseInsensitive) != 0)
                continue;
            const QString value = line.mid(line.indexOf(u'=') + 1).trimmed();
            if (value == u"0" || value == u"1")
                settings.*flag.field = value == u"1";
            else
                m_debugLog.AddDebugLine(
                    QStringLiteral("%1: %2 hat keinen gültigen Wert (0 oder 1).")
                        .arg(QString::fromLatin1(fileName), QString::fromLatin1(flag.key)));
        }
    }
}

bool ExtraSettingsFile::save(const ExtraSettings& settings) {
    QStringList lines;
    for (const FlagKey& flag : flagKeys())
        lines << QStringLiteral("%1=%2").arg(QString::fromLatin1(flag.key)).arg(settings.*flag.field ? 1 : 0);
    for (const QString& line : std::as_const(m_lines)) {
        const QString key = keyOf(line);
        bool known = false;
        for (const FlagKey& flag : flagKeys())
            known = known || key.compare(QLatin1String(flag.key), Qt::CaseInsensitive) == 0;
        if (!known && !line.trimmed().isEmpty())
            lines << line;
    }
    QString error;
    if (!textfile::writeLines(filePath(), lines, &error)) {
        m_debugLog.AddDebugLine(
            QStringLiteral("%1 nicht gespeichert: %2").arg(QString::fromLatin1(fileName), error));
        return false;
    }
    m_lines = lines;
    return true;
}
