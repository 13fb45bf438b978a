#include "leftover_files.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Qt fills the six places of its temporary names with letters; digits are allowed too in case
// a later Qt uses them.
bool isTemporarySuffix(QStringView suffix) {
    if (suffix.size() != 6)
        return false;
    for (QChar c : suffix) {
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9')))
            return false;
    }
    return true;
}

} // namespace

namespace leftovers {

bool isSaveLeftover(const QString& name, const QStringList& fileNames) {
    for (const QString& fileName : fileNames) {
        if (name.size() == fileName.size() + 7 && name.startsWith(fileName) &&
            name[fileName.size()] == u'.' && isTemporarySuffix(QStringView(name).mid(fileName.size() + 1)))
            return true;
    }
    return false;
}

QStringList removeSaveLeftovers(const QString& folder, const QStringList& fileNames) {
    QStringList removed;
    QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& entry : entries) {
        // A link is never one of Qt's temporary files: leave it and whatever it points at alone.
        if (!entry.isSymLink() && isSaveLeftover(entry.fileName(), fileNames) && dir.remove(entry.fileName()))
            removed.append(entry.fileName());
    }
    return removed;
}

QStringList removeSocketFolders(const QString& socketFolder) {
    QStringList removed;
    const QFileInfoList entries =
        QDir(socketFolder).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (entry.isSymLink() || !name.startsWith(u'.') || !isTemporarySuffix(QStringView(name).mid(1)))
            continue;
        QDir dir(entry.filePath());
        const QStringList inside =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        if (inside.size() > 1 || (inside.size() == 1 && inside.front() != QStringLiteral("s")))
            continue;
        if (inside.size() == 1)
            dir.remove(inside.front());
        if (QDir(socketFolder).rmdir(name))
            removed.append(entry.filePath());
    }
    return removed;
}

} // namespace leftovers
