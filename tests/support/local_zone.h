#pragma once

#include <QDateTime>
#include <QTimeZone>

// Whether this process's local time is the named zone's, compared at each of that zone's clock
// changes from 2025 to 2027 and between them. The process's zone is asked, not TZ: Windows takes
// its zone from the system alone and names it in its own words.
inline bool localTimeFollows(const char* ianaId) {
    const QTimeZone zone(ianaId);
    if (!zone.isValid())
        return false;
    const QDateTime from(QDate(2025, 1, 1), QTime(0, 0), Qt::UTC);
    const QDateTime to(QDate(2028, 1, 1), QTime(0, 0), Qt::UTC);
    QList<QDateTime> instants = {from, to};
    for (const QTimeZone::OffsetData& change : zone.transitions(from, to))
        instants << change.atUtc.addSecs(-1) << change.atUtc << change.atUtc.addDays(60);
    for (const QDateTime& instant : instants) {
        if (instant.toLocalTime().offsetFromUtc() != zone.offsetFromUtc(instant))
            return false;
    }
    return true;
}
