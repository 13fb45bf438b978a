#pragma once

#include <QString>

// What the single instance does differently per system; one implementation each in linux/ and
// windows/.
namespace singleinstance_os {

// Who we are, so that two users on one machine never share a lock or a channel.
QString userKey();
// The data folder as the system compares paths (Windows ignores case).
QString comparableFolder(const QString& cleanAbsolutePath);
// See SingleInstance::defaultRuntimeFolder().
QString defaultRuntimeFolder();
// A folder of our own for the socket file, "" where the channel is not a file.
QString socketFolder(const QString& runtimeFolder, const QString& hash);
QString serverName(const QString& socketFolder, const QString& hash);
// Creates the folder closed to others; true when it exists, is ours and closed afterwards.
bool makePrivateFolder(const QString& path);

} // namespace singleinstance_os
