#include "log_days.h"

#include "activity_log.h"

#include <QHash>

int DayRecord::unitsDone() const {
    int n = 0;
    for (const UnitRecord& u : units)
        n += u.finished ? 1 : 0;
    return n;
}

int DayRecord::minutesDone() const {
    int n = 0;
    for (const UnitRecord& u : units)
        n += u.finished ? u.minutes : 0;
    return n;
}

int DayRecord::unitsFailed() const {
    int n = 0;
    for (const UnitRecord& u : units)
        n += u.failed() ? 1 : 0;
    return n;
}

bool DayRecord::targetMet() const {
    return hasTarget() && unitsDone() >= target;
}

bool DayRecord::streakDay() const {
    return hasTarget() ? targetMet() : unitsDone() > 0;
}

LogDays LogDays::fromLines(const QStringList& lines, int oldUnitMinutes, QDate today,
                           const Progress& progress) {
    LogDays result;
    // The last non-empty line, the only one that may belong to a unit still running.
    qsizetype lastLine = lines.size() - 1;
    while (lastLine >= 0 && lines[lastLine].trimmed().isEmpty())
        --lastLine;
    const qsizetype step = qMax<qsizetype>(1, lines.size() / 100);
    QHash<QString, QString> titles;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (progress && i % step == 0 && !progress(int(i * 100 / qMax<qsizetype>(1, lines.size()))))
            return result;
        const LogLine line = ActivityLog::parseLine(lines[i], oldUnitMinutes);
        if (line.kind == LogLine::Kind::Empty)
            continue;
        if (line.kind == LogLine::Kind::Unreadable) {
            ++result.m_skipped;
            continue;
        }
        DayRecord& day = result.m_days[line.date];
        day.date = line.date;
        switch (line.kind) {
        case LogLine::Kind::Target:
            day.target = line.target;
            break;
        case LogLine::Kind::Replan:
            day.replans.append(ReplanRecord{line.time, line.reason});
            break;
        default: {
            // Years of the same few titles share one copy each.
            auto title = titles.constFind(line.title);
            if (title == titles.constEnd())
                title = titles.insert(line.title, line.title);
            UnitRecord unit{line.time, line.minutes, *title, line.finished, false};
            unit.running = !unit.finished && i == lastLine && line.date == today;
            day.units.append(unit);
            break;
        }
        }
    }
    if (progress)
        (void)progress(100);
    return result;
}

DayRecord LogDays::day(QDate date) const {
    const auto it = m_days.constFind(date);
    if (it != m_days.constEnd())
        return *it;
    DayRecord empty;
    empty.date = date;
    return empty;
}
