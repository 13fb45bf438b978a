#include "debug_log.h"

#include "clock.h"
#include "text_file.h"

#include <QFileInfo>

namespace {

const QString crlf = QStringLiteral("\r\n");

} // namespace

DebugLog::DebugLog(const Clock& clock) : m_clock(clock) {}

void DebugLog::AddDebugLine(const QString& message) {
    // Minutes only: the file is read by people looking for "what happened around then".
    const QString line =
        m_clock.localNow().toString(QStringLiteral("yyyy-MM-dd HH:mm")) + QStringLiteral(": ") + message;
    if (m_text.isEmpty())
        m_text = QStringLiteral("===") + crlf + line;
    else
        m_text += crlf + line;
    if (m_listener)
        m_listener(line);
}

bool DebugLog::SaveDebugLog(const QString& filePath) {
    // A second call (say, an emergency save after the regular one) must not put the same run
    // into the file twice.
    if (m_saved)
        return true;
    // After a failed attempt the retry carries the same end line, not a second one.
    if (!m_endLineAdded) {
        AddDebugLine(QStringLiteral("Beende Taktplan."));
        m_endLineAdded = true;
    }
    const bool exists = QFileInfo::exists(filePath);
    m_saved = textfile::appendText(filePath, exists ? crlf + m_text : m_text);
    return m_saved;
}
