#include "program_launcher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

bool WorkingFolderLauncher::exists(const QString& bareName) const {
    return QFileInfo(QDir::current().filePath(bareName)).isFile();
}

bool WorkingFolderLauncher::start(const QString& bareName, const QStringList& arguments) {
    const QString program = QDir::current().absoluteFilePath(bareName);
    if (!QFileInfo(program).isFile())
        return false;
    return QProcess::startDetached(program, arguments, QString());
}
