#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

class Clock;
class DebugLog;
class UserInterface;
struct Settings;

// A finished unit as read back from the activity log.
struct FinishedUnit {
    QString title;
    QDateTime
        start; // wall-clock date and time of the unit's start (held in UTC only for zone-free arithmetic)
    int minutes = 0;
};

// One line of the activity log as every reader sees it.
struct LogLine {
    enum class Kind {
        Empty,      // an empty line (the file begins with one)
        Unit,       // "ddd, dd.mm.yyyy hh:nn|25 Title", optionally " [x]"
        OldUnit,    // "ddd, dd.mm.yyyy hh:nn Title", optionally " [x]"; length from the settings
        Target,     // "ddd, dd.mm.yyyy SOLL: 8"
        Replan,     // "ddd, dd.mm.yyyy hh:nn --- NEU GEPLANT ---" [+ " Grund: " + reason]
        Unreadable, // anything else: a hand-edited or cut line
    };
    Kind kind = Kind::Empty;
    QDate date;
    QTime time;            // units and re-plannings
    int minutes = 0;       // units
    bool finished = false; // units ending with " [x]"
    QString title;         // units
    QString reason;        // re-plannings with a reason (trimmed), else empty
    int target = 0;        // target lines

    bool isUnit() const { return kind == Kind::Unit || kind == Kind::OldUnit; }
};

// The activity log (Dezuzedu.log by default): every entry is CR LF followed by its text, so
// the file begins with an empty line and has no break at its end. The whole file is held in
// memory as its lines and reloaded after every write.
class ActivityLog {
public:
    // The path is read from settings.LogDateiPfad at every call, so a moved log is followed.
    ActivityLog(const Clock& clock, const Settings& settings, DebugLog& debugLog, UserInterface& ui);

    // Appends text (callers that add a line begin it with CR LF; " [x]" alone marks the last
    // line). withStamp writes CR LF + "ddd, dd.mm.yyyy hh:nn " before the text. Reloads.
    // False when the text could not be written (reported once per path in the reminder).
    bool WriteLogEntry(const QString& text, bool withStamp = false);
    // False when the file could not be read; the list then keeps what it had.
    bool LoadLog();
    // Before the log is shown to the user ("Logs"): a log that does not exist yet is created
    // empty, so there is a file to open. False, after a message that names the path and the
    // reason, when it could not be created.
    bool CreateIfMissing();

    const QStringList& lines() const { return m_lines; }
    // Replaces the in-memory list (tests, benchmarks).
    void setLines(QStringList lines) { m_lines = std::move(lines); }

    int TargetForDay(QDate day) const; // -1000 when none
    QList<FinishedUnit> FinishedUnits(QDate day) const;
    QStringList RecentTitles(int n) const;
    QString LastLine() const;
    QString LastTitle() const;
    bool LastLineIsOpenUnit(const QString& text) const;

    // "Mo".."So" for the day, on every locale.
    static QString weekdayAbbreviation(QDate day);
    // "ddd, dd.mm.yyyy hh:nn" and "ddd, dd.mm.yyyy" of a wall-clock time.
    static QString stamp(const QDateTime& time);
    static QString dayStamp(QDate day);
    // Reads one line; an old unit line gets oldUnitMinutes as its length.
    static LogLine parseLine(QStringView line, int oldUnitMinutes);
    // The title of one line as the readers see it; empty for target and re-planning lines.
    static QString extractTitle(const QString& line);

    // The texts the writers pass to WriteLogEntry. Times are wall-clock times; line breaks in
    // a title or reason become blanks, so every entry stays one line.
    // "\r\n" + stamp + "|" + minutes + " " + title
    static QString unitLine(const QDateTime& start, int minutes, const QString& title);
    // " [x]", appended to the open unit line when the unit ends regularly.
    static QString finishMark();
    // "\r\n" + dayStamp + " SOLL: " + target
    static QString targetLine(QDate day, int target);
    // "\r\n" + stamp + " --- NEU GEPLANT ---" [+ " Grund: " + reason]
    static QString replanLine(const QDateTime& time);
    static QString replanLine(const QDateTime& time, const QString& reason);

    const QString& errorShownPath() const { return m_errorShownPath; }

    // Far longer than any line the program writes: a longer one (a file without line breaks put
    // in the log's place) is skipped by every reader rather than read into memory whole.
    static constexpr qint64 maxLineBytes = 1 << 20;

private:
    QString path() const;

    const Clock& m_clock;
    const Settings& m_settings;
    DebugLog& m_debugLog;
    UserInterface& m_ui;
    QStringList m_lines;
    QString m_errorShownPath;
};
