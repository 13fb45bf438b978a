#pragma once

#include <QString>
#include <QStringList>

// What a program killed at the wrong moment leaves behind for good: the temporary copy of a
// file it was replacing, or the temporary folder Qt binds a local socket in. Only names that
// are provably ours are touched, and only while the single-instance lock is held, so no running
// copy can be in the middle of such a replace.
namespace leftovers {

// Whether name is the temporary name Qt gives a replacement of one of fileNames (the name, a
// full stop and six letters or digits).
bool isSaveLeftover(const QString& name, const QStringList& fileNames);
// Removes such files in folder; returns the names removed.
QStringList removeSaveLeftovers(const QString& folder, const QStringList& fileNames);
// Removes Qt's temporary socket folders (a full stop and six letters or digits, holding at most
// the socket "s") in our own socket folder; returns the paths removed.
QStringList removeSocketFolders(const QString& socketFolder);

} // namespace leftovers
