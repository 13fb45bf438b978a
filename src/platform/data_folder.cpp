#include "data_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QtGlobal>

DataFolder::DataFolder(QString path) : m_path(QDir::cleanPath(std::move(path))) {}

DataFolder DataFolder::fromEnvironment() {
    const QString overridden = qEnvironmentVariable("TAKTPLAN_DATA_DIR");
    if (!overridden.isEmpty())
        return DataFolder(QDir(overridden).absolutePath());
    return DataFolder(systemDefaultPath());
}

QString DataFolder::filePath(const QString& fileName) const {
    return QDir(m_path).filePath(fileName);
}

bool DataFolder::exists() const {
    return QFileInfo(m_path).isDir();
}

bool DataFolder::ensureExists() const {
    return QDir().mkpath(m_path);
}
