#include "plan_minutes.h"

#include "plan_time.h"
#include "value_text.h"

#include <QTime>

namespace planminutes {
namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int digit(QChar c) {
    return c.unicode() - u'0';
}

int twoDigits(const QChar* p) {
    return digit(p[0]) * 10 + digit(p[1]);
}

void putTwoDigits(char16_t* out, int n) {
    out[0] = static_cast<char16_t>(u'0' + n / 10);
    out[1] = static_cast<char16_t>(u'0' + n % 10);
}

bool assign(QString& field, QStringView text) {
    if (field == text)
        return false;
    field = text.toString();
    return true;
}

} // namespace

qint64 readDay(const QString& dateText) {
    const QChar* p = dateText.constData();
    if (dateText.size() == 10 && p[2] == QLatin1Char('.') && p[5] == QLatin1Char('.') && isDigit(p[0]) &&
        isDigit(p[1]) && isDigit(p[3]) && isDigit(p[4]) && isDigit(p[6]) && isDigit(p[7]) && isDigit(p[8]) &&
        isDigit(p[9])) {
        const QDate date(twoDigits(p + 6) * 100 + twoDigits(p + 8), twoDigits(p + 3), twoDigits(p));
        if (date.isValid())
            return date.toJulianDay();
    }
    return plantime::parseDate(dateText).toJulianDay();
}

int readTimeOfDay(const QString& timeText) {
    const QChar* p = timeText.constData();
    if (timeText.size() == 5 && p[2] == QLatin1Char(':') && isDigit(p[0]) && isDigit(p[1]) && isDigit(p[3]) &&
        isDigit(p[4])) {
        const int h = twoDigits(p);
        const int m = twoDigits(p + 3);
        if (h < 24 && m < 60)
            return h * 60 + m;
    }
    const QTime t = plantime::parseTime(timeText);
    return t.hour() * 60 + t.minute();
}

bool tryReadInt(const QString& text, int* out) {
    const qsizetype n = text.size();
    if (n > 0 && n <= 9) {
        int v = 0;
        bool plain = true;
        for (QChar c : text) {
            if (!isDigit(c)) {
                plain = false;
                break;
            }
            v = v * 10 + digit(c);
        }
        if (plain) {
            *out = v;
            return true;
        }
    }
    return valuetext::readInt(text, out);
}

bool isSensibleDuration(int minutes, bool isPause) {
    return minutes >= (isPause ? 0 : 1) && minutes <= longestDuration;
}

Minute firstMinute() {
    static const Minute first = QDate(1000, 1, 1).toJulianDay() * minutesPerDay;
    return first;
}

Minute lastMinute() {
    static const Minute last = (QDate(9999, 12, 31).toJulianDay() + 1) * minutesPerDay - 1;
    return last;
}

int readInt(const QString& text) {
    int v = 0;
    if (!tryReadInt(text, &v))
        throw plantime::ConversionError(text);
    return v;
}

Minute readStart(const PlanEntry& entry) {
    return readDay(entry.date) * minutesPerDay + readTimeOfDay(entry.startTime);
}

Minute fromDateTime(const QDateTime& wallTime) {
    const QTime t = wallTime.time();
    return wallTime.date().toJulianDay() * minutesPerDay + t.hour() * 60 + t.minute();
}

QDateTime toDateTime(Minute m) {
    const int tod = timeOfDayOf(m);
    return plantime::wall(QDate::fromJulianDay(dayOf(m)), QTime(tod / 60, tod % 60));
}

bool assignTime(QString& field, Minute m) {
    const int tod = timeOfDayOf(m);
    char16_t buf[5];
    putTwoDigits(buf, tod / 60);
    buf[2] = u':';
    putTwoDigits(buf + 3, tod % 60);
    return assign(field, QStringView(buf, 5));
}

bool assignDate(QString& field, qint64 julianDay) {
    const QDate date = QDate::fromJulianDay(julianDay);
    const int y = date.year();
    if (y < 1000 || y > 9999)
        return assign(field, plantime::formatDate(date));
    char16_t buf[10];
    putTwoDigits(buf, date.day());
    buf[2] = u'.';
    putTwoDigits(buf + 3, date.month());
    buf[5] = u'.';
    putTwoDigits(buf + 6, y / 100);
    putTwoDigits(buf + 8, y % 100);
    return assign(field, QStringView(buf, 10));
}

bool assignNumber(QString& field, int n) {
    if (n < 0)
        return assign(field, QString::number(n));
    char16_t buf[12];
    int pos = 12;
    do {
        buf[--pos] = static_cast<char16_t>(u'0' + n % 10);
        n /= 10;
    } while (n > 0);
    return assign(field, QStringView(buf + pos, 12 - pos));
}

} // namespace planminutes
