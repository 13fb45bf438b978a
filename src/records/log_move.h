#pragma once

#include <QString>
#include <QStringList>

struct Records;

// Moving the activity log to another path ("Log-Datei speichern unter..."). The log holds the
// user's whole history, so the old file goes only once an exact copy is on the disk at the new
// place and the settings name that place; a move that fails anywhere leaves the old file and
// its path as they were.
namespace logmove {

enum class Outcome {
    Moved,    // copied, checked, the new path saved, and the old file removed (or left, see oldLeft)
    Existing, // a log was at the new path already: it is used as it is, nothing copied or removed
    NoLogYet, // there is no log file yet: the first entry will create it at the new path
    Failed,   // nothing changed; error says why
};

struct Result {
    Outcome outcome = Outcome::Failed;
    QString error;
    // Moved, but the old file could not be removed (another program holds it): it stays as a
    // second copy, which loses nothing.
    bool oldLeft = false;
};

// Moves the log from LogDateiPfad to the path and makes it the log path (saved with the
// settings). Leaves a debug line either way. The path may not be one of the files the program
// rewrites as a whole: the settings file, the debug log, the side files, nor any of planFiles
// (the plan files the caller keeps): their next save would wipe the log.
Result moveActivityLog(Records& records, const QString& to, const QStringList& planFiles = {});

} // namespace logmove
