#include "../single_instance_os.h"

#include <QDir>

namespace singleinstance_os {

QString userKey() {
    return qEnvironmentVariable("USERNAME");
}

QString comparableFolder(const QString& cleanAbsolutePath) {
    // The same folder may be spelt in any case here.
    return cleanAbsolutePath.toLower();
}

bool makePrivateFolder(const QString& path) {
    return QDir().mkpath(path);
}

QString defaultRuntimeFolder() {
    return QDir::tempPath();
}

QString socketFolder(const QString&, const QString&) {
    // Named pipes: no file to keep anywhere.
    return {};
}

QString serverName(const QString&, const QString& hash) {
    return QStringLiteral("Taktplan-%1").arg(hash);
}

} // namespace singleinstance_os
