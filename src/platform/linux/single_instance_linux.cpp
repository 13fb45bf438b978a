#include "../single_instance_os.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// sockaddr_un holds 108 bytes; keep a margin for the terminating zero and Qt's temporary name.
constexpr qsizetype maxSocketPathLength = 90;

} // namespace

namespace singleinstance_os {

QString userKey() {
    return QString::number(::getuid());
}

QString comparableFolder(const QString& cleanAbsolutePath) {
    return cleanAbsolutePath;
}

bool makePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    // It must be ours and closed to others, or someone else could hold our lock or answer in
    // our place.
    struct stat st {};
    return ::lstat(native.constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 077) == 0;
}

// Our own folder in the temporary folder. Its name is known to everyone, so another user may
// have made it first: it is used only when it is ours and closed to others.
static QString privateTemporaryFolder() {
    const QString own = QDir(QDir::tempPath()).filePath(QStringLiteral("taktplan-%1").arg(::getuid()));
    return makePrivateFolder(own) ? own : QString();
}

QString defaultRuntimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        const QFileInfo info(xdg);
        if (info.isDir() && info.isWritable())
            return QDir::cleanPath(xdg);
    }
    const QString temporary = privateTemporaryFolder();
    if (!temporary.isEmpty())
        return temporary;
    // Taken by someone else: the user's cache folder, where nobody else can make it. Every
    // start finds the temporary one taken too, so all of them meet here.
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (cache.isEmpty() || !QDir::isAbsolutePath(cache))
        cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString own = QDir::cleanPath(cache + QStringLiteral("/taktplan"));
    return QDir().mkpath(cache) && makePrivateFolder(own) ? own : QString();
}

QString socketFolder(const QString& runtimeFolder, const QString& hash) {
    if (runtimeFolder.isEmpty())
        return {};
    // A folder of its own keeps the socket out of the shared /tmp, and makes every temporary
    // folder Qt leaves in it provably ours.
    const QString name = QStringLiteral("taktplan-%1").arg(hash);
    const auto fits = [](const QString& folder) {
        return QFile::encodeName(folder + QStringLiteral("/socket")).size() <= maxSocketPathLength;
    };
    const QString folder = QDir(runtimeFolder).filePath(name);
    if (fits(folder))
        return folder;
    // A runtime folder deep down (a cache folder in a long home path): the socket goes to the
    // short private folder in the temporary folder, when that one is ours.
    const QString temporary = privateTemporaryFolder();
    if (!temporary.isEmpty() && fits(QDir(temporary).filePath(name)))
        return QDir(temporary).filePath(name);
    return {};
}

QString serverName(const QString& socketFolder, const QString& hash) {
    if (!socketFolder.isEmpty())
        return socketFolder + QStringLiteral("/socket");
    return QStringLiteral("Taktplan-%1-%2").arg(userKey(), hash);
}

} // namespace singleinstance_os
