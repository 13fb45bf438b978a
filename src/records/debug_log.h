#pragma once

#include <QString>

#include <functional>

class Clock;

// The account of what this run of the program did. Lines collect in memory and are appended
// to debug_log.txt once, when the program ends.
class DebugLog {
public:
    explicit DebugLog(const Clock& clock);

    // Adds "yyyy-mm-dd hh:nn: " + message; the first line of a run is preceded by "===".
    void AddDebugLine(const QString& message);
    const QString& text() const { return m_text; }

    // Adds "Beende Taktplan." and appends the text to the file (after a CR LF when the file
    // already exists). File errors are ignored (false is returned). Saving the settings
    // afterwards is the caller's business. Once saved, further calls write nothing.
    bool SaveDebugLog(const QString& filePath);

    // Called with each new line (for the live debug viewer).
    void setListener(std::function<void(const QString& line)> listener) { m_listener = std::move(listener); }

private:
    const Clock& m_clock;
    QString m_text;
    std::function<void(const QString&)> m_listener;
    bool m_saved = false;
    bool m_endLineAdded = false;
};
