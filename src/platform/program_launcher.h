#pragma once

#include <QString>
#include <QStringList>

// Starts helper programs by their bare file name, resolved against the current working
// folder, without waiting for them or reading anything back.
class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // True when the bare file name exists in the working folder.
    virtual bool exists(const QString& bareName) const = 0;
    // Starts the program detached; false when it could not be started (callers may ignore it).
    virtual bool start(const QString& bareName, const QStringList& arguments) = 0;
};

// The real launcher: on Linux the file must be executable to start.
class WorkingFolderLauncher final : public ProgramLauncher {
public:
    bool exists(const QString& bareName) const override;
    bool start(const QString& bareName, const QStringList& arguments) override;
};
