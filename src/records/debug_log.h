#pragma once

#include <QString>

class Clock;

// The account of what this run of the program did. Lines collect in memory; once a file is
// given, they also go into it as they come (a run that is killed or crashes still leaves its
// account up to then), and the file ends up exactly as one append of the whole text at the end
// would have left it.
class DebugLog {
public:
    explicit DebugLog(const Clock& clock);

    // Adds "yyyy-mm-dd hh:nn: " + message; the first line of a run is preceded by "===".
    void AddDebugLine(const QString& message);
    const QString& text() const { return m_text; }

    // From now on every line is appended to filePath as it is added; what the run collected
    // before goes in at once (after a CR LF when the file already exists). A line that could
    // not be written goes with a later one (tried again at most every few seconds), or at the
    // end.
    void writeThrough(const QString& filePath);

    // Adds "Beende Taktplan." and appends what is not yet in the file to it (the whole text
    // after a CR LF when the file already exists, for a run that did not write through). File
    // errors are ignored (false is returned). Saving the settings afterwards is the caller's
    // business. Once saved, further calls and lines write nothing.
    bool SaveDebugLog(const QString& filePath);

private:
    // Appends the part of the text not yet written; false when that failed.
    bool writePending(const QString& filePath);

    const Clock& m_clock;
    QString m_text;
    // How much of m_text is in the file.
    qsizetype m_written = 0;
    QString m_throughPath;
    // The tick of the last failed write through (0: none), so that a disk that cannot take the
    // lines is not asked again for every line.
    qint64 m_failedTick = 0;
    bool m_saved = false;
    bool m_endLineAdded = false;
};
