#pragma once

#include "debug_log.h"
#include "file_size_limit.h"

#include <QStringList>

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
