#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTime>

#include <functional>

// One unit line of a day.
struct UnitRecord {
    QTime start;
    int minutes = 0;
    QString title;
    bool finished = false;
    // The log's last line while it is today's and unfinished: the unit may still be running,
    // so it is neither done nor failed.
    bool running = false;

    bool failed() const { return !finished && !running; }
};

struct ReplanRecord {
    QTime time;
    QString reason; // trimmed; empty when none was given
};

// Everything the log says about one calendar day.
struct DayRecord {
    QDate date;
    QList<UnitRecord> units; // in file order
    QList<ReplanRecord> replans;
    int target = noTarget; // the day's last target line

    static constexpr int noTarget = -1000;

    bool hasTarget() const { return target != noTarget; }
    int unitsDone() const;
    // Wide: hand-edited lengths may be as large as an int holds.
    qint64 minutesDone() const;
    int unitsFailed() const;
    // done >= target; false on a day without a target.
    bool targetMet() const;
    // A day that carries a streak: the target met, or at least one unit on a day without one.
    bool streakDay() const;
};

// The activity log read into days. Lines that do not parse are skipped and counted.
class LogDays {
public:
    // Told the share read so far; returning false stops the reading (the result is then
    // incomplete and only fit to be thrown away).
    using Progress = std::function<bool(int percent)>;

    // oldUnitMinutes: the length of old unit lines (the unit length of the settings). today
    // decides whether the log's last line may still be running.
    static LogDays fromLines(const QStringList& lines, int oldUnitMinutes, QDate today,
                             const Progress& progress = {});

    // Takes the log line by line, so that a large file need not be held whole in memory.
    class Builder;

    // The day's record; an empty one for a day without lines.
    DayRecord day(QDate date) const;
    const QMap<QDate, DayRecord>& days() const { return m_days; }
    // Null when the log holds no dated line.
    QDate firstDate() const { return m_days.isEmpty() ? QDate() : m_days.firstKey(); }
    QDate lastDate() const { return m_days.isEmpty() ? QDate() : m_days.lastKey(); }
    int skippedLines() const { return m_skipped; }
    bool isEmpty() const { return m_days.isEmpty(); }

private:
    QMap<QDate, DayRecord> m_days;
    int m_skipped = 0;
};

class LogDays::Builder {
public:
    Builder(int oldUnitMinutes, QDate today) : m_oldUnitMinutes(oldUnitMinutes), m_today(today) {}
    void add(QStringView line);
    // A line that was not even read (longer than any the program writes): skipped and counted.
    void skip();
    LogDays finish();

private:
    LogDays m_result;
    QHash<QString, QString> m_titles;
    int m_oldUnitMinutes;
    QDate m_today;
    // The unit of the last non-empty line so far, the only one that may still be running.
    DayRecord* m_lastUnitDay = nullptr;
};
