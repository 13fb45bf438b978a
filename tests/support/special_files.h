#pragma once

#include <QString>
#include <QStringList>

#include <optional>

#ifdef _WIN32

// Windows has no named pipes in a folder and no links to devices such as /dev/zero: the tests
// of such paths check the other cases there.
inline QStringList makeSpecialFiles(const QString&) {
    return {};
}

// Windows keeps no peak memory of ended child processes.
inline std::optional<long> childrenPeakKiB() {
    return std::nullopt;
}

#else

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>

// In folder: a named pipe (its reader would wait for a writer for good) and a link to a device
// that never ends, in that order.
inline QStringList makeSpecialFiles(const QString& folder) {
    const QString pipe = QDir(folder).filePath(QStringLiteral("pipe.log"));
    const QString zero = QDir(folder).filePath(QStringLiteral("zero.log"));
    EXPECT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    return {pipe, zero};
}

// The largest resident size of the ended child processes, in KiB.
inline std::optional<long> childrenPeakKiB() {
    rusage children{};
    if (getrusage(RUSAGE_CHILDREN, &children) != 0)
        return std::nullopt;
    return children.ru_maxrss;
}

#endif
