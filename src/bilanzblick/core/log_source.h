#pragma once

#include "log_days.h"

#include <QString>

class Clock;
class DataFolder;

// Where Bilanzblick finds the activity log, and reading it. The log is only ever read.
namespace logsource {

struct Location {
    QString path;
    int unitLength = 25; // the length of old unit lines
};

// As the main program does: LogDateiPfad from Settings.ini in the data folder, else
// Dezuzedu.log there; a non-empty overridePath (--log FILE) wins.
Location locate(const Clock& clock, const DataFolder& folder, const QString& overridePath);

struct Loaded {
    bool exists = false;
    bool ok = false;
    // The path names something that is not read at all; error then says so in English, for the
    // command line, and the window gives its own text.
    enum class Refusal { None, Folder, NotRegularFile };
    Refusal refusal = Refusal::None;
    QString error; // the system's message when the file is there but cannot be read
    LogDays days;
};

Loaded load(const Location& location, QDate today, const LogDays::Progress& progress = {});

} // namespace logsource
