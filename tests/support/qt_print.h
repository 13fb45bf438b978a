#pragma once

#include <QString>

#include <ostream>

// Readable failure messages for Qt's strings; bytes outside plain text are percent-encoded.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QByteArray& b, std::ostream* os) {
    *os << '"' << QString::fromLatin1(b.toPercentEncoding(" /|:.()")).toStdString() << '"';
}
