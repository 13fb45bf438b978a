#pragma once

#include <QString>

#include <memory>

// The "Run entry": what starts the program with "-autostart" at the user's next log-on, so that
// a running plan survives a restart of the computer. Written when a plan starts, removed when
// no plan is active any more.
class AutostartEntry {
public:
    virtual ~AutostartEntry() = default;

    // Writes (or replaces) the entry; false when it could not be written.
    virtual bool write() = 0;
    // Removes the entry; true when none is left (also when there was none).
    virtual bool remove() = 0;
    virtual bool exists() const = 0;

    // The command line the entry runs: the program's full path in double quotes, a blank and
    // "-autostart".
    static QString commandLine(const QString& programPath);

    // The program the entry starts, for the program running now: on Linux the small entry
    // program beside it when it is there (every start goes through that one), else this one.
    static QString programToStart(const QString& runningProgram);

    // The entry of this system for the given program file (an XDG autostart file on Linux and
    // other Unix desktops, the Run key value on Windows).
    static std::unique_ptr<AutostartEntry> forProgram(const QString& programPath);
};
