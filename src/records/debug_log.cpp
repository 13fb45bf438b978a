#include "debug_log.h"

#include "clock.h"
#include "text_file.h"

#include <QFileInfo>

#include <algorithm>

namespace {

const QString crlf = QStringLiteral("\r\n");
// After a failed write, the next try waits this long.
constexpr qint64 retryMs = 5000;

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
    if (!m_throughPath.isEmpty() && (m_failedTick == 0 || m_clock.tickMs() - m_failedTick >= retryMs)) {
        // Best effort: whatever does not go now goes with a later line or at the end.
        m_failedTick = writePending(m_throughPath) ? 0 : std::max<qint64>(1, m_clock.tickMs());
    }
}

void DebugLog::writeThrough(const QString& filePath) {
    m_throughPath = filePath;
    m_failedTick = 0;
    if (!m_saved && !writePending(filePath))
        m_failedTick = std::max<qint64>(1, m_clock.tickMs());
}

bool DebugLog::writePending(const QString& filePath) {
    if (m_written >= m_text.size())
        return true;
    // No sync to the disk: the system has the lines once they are written, and a killed
    // process does not take them with it.
    // The run's first write follows the runs before it after a line break, as one block.
    QString chunk = m_written == 0 && QFileInfo::exists(filePath) ? crlf : QString();
    chunk += QStringView(m_text).sliced(m_written);
    const bool ok = textfile::appendText(filePath, chunk);
    if (ok)
        m_written = m_text.size();
    return ok;
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
    m_saved = writePending(filePath);
    if (m_saved)
        m_throughPath.clear();
    return m_saved;
}
