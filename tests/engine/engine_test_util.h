#pragma once

#include "debug_log.h"

#include <QStringList>

#include <csignal>
#include <sys/resource.h>

// The messages of a debug text without the run marker and the "yyyy-mm-dd hh:nn: " stamps.
inline QStringList debugMessages(const DebugLog& log) {
    QStringList messages = log.text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (!messages.isEmpty() && messages.first() == QLatin1String("==="))
        messages.removeFirst();
    for (QString& m : messages)
        m.remove(0, 18);
    return messages;
}

inline QString lastDebugMessage(const DebugLog& log) {
    const QStringList messages = debugMessages(log);
    return messages.isEmpty() ? QString() : messages.last();
}

// While it lives, no file may grow beyond the given size: writes fail as on a full disk.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : m_handler(signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit small = m_old;
        small.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_handler)(int);
};
