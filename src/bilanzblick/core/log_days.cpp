#include "log_days.h"

#include "activity_log.h"

#include <QHash>

int DayRecord::unitsDone() const {
    int n = 0;
    for (const UnitRecord& u : units)
        n += u.finished ? 1 : 0;
    return n;
}

qint64 DayRecord::minutesDone() const {
    qint64 n = 0;
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
    Builder builder(oldUnitMinutes, today);
    const qsizetype step = qMax<qsizetype>(1, lines.size() / 100);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (progress && i % step == 0 && !progress(int(i * 100 / qMax<qsizetype>(1, lines.size()))))
            return builder.finish();
        builder.add(lines[i]);
    }
    if (progress)
        (void)progress(100);
    return builder.finish();
}

void LogDays::Builder::add(QStringView text) {
    const LogLine line = ActivityLog::parseLine(text, m_oldUnitMinutes);
    if (line.kind == LogLine::Kind::Empty)
        return;
    m_lastUnitDay = nullptr;
    // A negative length or target is no value the program writes: the line is not understood.
    if (line.kind == LogLine::Kind::Unreadable || (line.isUnit() && line.minutes < 0) ||
        (line.kind == LogLine::Kind::Target && line.target < 0)) {
        ++m_result.m_skipped;
        return;
    }
    DayRecord& day = m_result.m_days[line.date];
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
        auto title = m_titles.constFind(line.title);
        if (title == m_titles.constEnd())
            title = m_titles.insert(line.title, line.title);
        day.units.append(UnitRecord{line.time, line.minutes, *title, line.finished, false});
        // QMap nodes stay where they are while others are added.
        m_lastUnitDay = &day;
        break;
    }
    }
}

void LogDays::Builder::skip() {
    m_lastUnitDay = nullptr;
    ++m_result.m_skipped;
}

LogDays LogDays::Builder::finish() {
    if (m_lastUnitDay && m_lastUnitDay->date == m_today) {
        UnitRecord& last = m_lastUnitDay->units.last();
        last.running = !last.finished;
    }
    m_lastUnitDay = nullptr;
    m_titles.clear();
    return std::move(m_result);
}

DayRecord LogDays::day(QDate date) const {
    const auto it = m_days.constFind(date);
    if (it != m_days.constEnd())
        return *it;
    DayRecord empty;
    empty.date = date;
    return empty;
}
