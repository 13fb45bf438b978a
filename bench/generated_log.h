#pragma once

#include "activity_log.h"

#include <QDate>
#include <QStringList>

#include <cstdint>

// A plausible activity log of many years for benchmarks and pictures: on most working days a
// target, units of different titles and lengths from the morning on, some left unfinished,
// some re-plannings with a reason. About 4,000 lines per year; the same log on every run.
inline QStringList generatedActivityLog(QDate first, QDate last) {
    static const char* const titles[] = {
        "Bericht schreiben", "E-Mails", "Angebot Müller", "Steuererklärung", "Vortrag üben",
        "Code-Review",       "Lesen",   "Planung Q3",     "Rechnungen",      "Kundenanruf"};
    static const char* const reasons[] = {"Meeting",    "meeting ", "Anruf vom Chef",
                                          "Kind krank", "Müde",     "Dringende Anfrage"};
    std::uint32_t seed = 20251207u;
    const auto next = [&seed](std::uint32_t n) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % n;
    };
    QStringList lines{QString()};
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        const int weekday = day.dayOfWeek();
        if (weekday == 7 || (weekday == 6 && next(3) == 0) || next(20) == 0)
            continue;
        const int target = weekday == 6 ? 5 : 10 + int(next(4));
        lines << ActivityLog::targetLine(day, target).mid(2);
        int units = target + int(next(5)) + (weekday == 1 ? 1 : 0) - (weekday == 5 ? 1 : 0);
        QTime at(7 + int(next(3)), int(next(4)) * 15);
        for (int u = 0; u < units && at.hour() < 20; ++u) {
            const int minutes = next(8) == 0 ? 50 : 25;
            const bool done = next(100) >= 12 + (at.hour() >= 16 ? 18 : 0);
            const QString title = QString::fromUtf8(titles[next(10)]);
            lines << ActivityLog::unitLine(QDateTime(day, at), minutes, title).mid(2) +
                         (done ? ActivityLog::finishMark() : QString());
            at = at.addSecs((minutes + (u % 4 == 3 ? 25 : 5)) * 60);
            if (next(14) == 0) {
                const QDateTime when(day, at);
                lines << (next(3) == 0 ? ActivityLog::replanLine(when)
                                       : ActivityLog::replanLine(when, QString::fromUtf8(reasons[next(6)])))
                             .mid(2);
                at = at.addSecs(20 * 60);
            }
        }
    }
    return lines;
}
