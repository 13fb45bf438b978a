#include "../data_folder.h"

#include <QDir>

QString DataFolder::systemDefaultPath() {
    return QDir(qEnvironmentVariable("APPDATA")).filePath(QStringLiteral("Taktplan"));
}
