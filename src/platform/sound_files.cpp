#include "sound_files.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace soundfiles {

QString path(const QString& fileName, const QString& workingFolder, const QString& programFolder) {
    for (const QString& folder : {workingFolder, programFolder}) {
        if (folder.isEmpty())
            continue;
        const QString candidate = QDir(folder).filePath(QStringLiteral("Sounds/") + fileName);
        if (QFileInfo(candidate).isFile())
            return QDir::cleanPath(QFileInfo(candidate).absoluteFilePath());
    }
    return {};
}

QString path(const QString& fileName) {
    return path(fileName, QDir::currentPath(), QCoreApplication::applicationDirPath());
}

} // namespace soundfiles
