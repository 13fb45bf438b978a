#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

#include <stdexcept>

class Clock;

// Plan times are wall-clock times: a date text "dd.mm.yyyy" plus a time text "hh:nn", added
// up in whole minutes as the clock on the wall shows them. They are held as QDateTime in UTC
// purely to get zone-free arithmetic (no daylight-saving gaps or repeats), so that every
// text reads back to exactly the value it was written from and the order of entries never
// depends on the time zone.
namespace plantime {

// A date or time text that does not convert (only a hand-edited file can produce one).
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& text);
    const QString& text() const { return m_text; }

private:
    QString m_text;
};

// The wall-clock reading of a local QDateTime (seconds kept).
QDateTime wall(const QDateTime& local);
QDateTime wall(QDate date, QTime time);
// Now as a wall-clock time, and now to the minute (seconds and milliseconds dropped).
QDateTime now(const Clock& clock);
QDateTime nowToMinute(const Clock& clock);

QString formatDate(QDate date);         // "dd.mm.yyyy"
QString formatTime(const QDateTime& t); // "hh:nn"
QString formatTime(QTime t);

// Strict readers of the written forms (dates as valuetext reads them): throw ConversionError
// for anything else.
QDate parseDate(const QString& text);
QTime parseTime(const QString& text);

} // namespace plantime
