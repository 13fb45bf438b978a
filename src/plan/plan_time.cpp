#include "plan_time.h"

#include "clock.h"

#include <QTimeZone>

namespace plantime {

ConversionError::ConversionError(const QString& text)
    : std::runtime_error(QStringLiteral("'%1' ist kein gültiger Wert").arg(text).toStdString()),
      m_text(text) {}

QDateTime wall(QDate date, QTime time) {
    return QDateTime(date, time, Qt::UTC);
}

QDateTime wall(const QDateTime& local) {
    const QDateTime l = local.toLocalTime();
    return wall(l.date(), l.time());
}

QDateTime now(const Clock& clock) {
    return wall(clock.localNow());
}

QDateTime nowToMinute(const Clock& clock) {
    const QDateTime n = now(clock);
    return wall(n.date(), QTime(n.time().hour(), n.time().minute()));
}

QString formatDate(QDate date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString formatTime(QTime t) {
    return t.toString(QStringLiteral("HH:mm"));
}

QString formatTime(const QDateTime& t) {
    return formatTime(t.time());
}

bool tryParseDate(const QString& text, QDate* out) {
    // Accept one- or two-digit day and month as a hand-edited file may hold them.
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 3)
        return false;
    bool okD = false, okM = false, okY = false;
    const int d = parts[0].toInt(&okD);
    const int m = parts[1].toInt(&okM);
    const int y = parts[2].toInt(&okY);
    if (!okD || !okM || !okY || parts[2].size() != 4)
        return false;
    const QDate date(y, m, d);
    if (!date.isValid())
        return false;
    *out = date;
    return true;
}

QDate parseDate(const QString& text) {
    QDate date;
    if (!tryParseDate(text, &date))
        throw ConversionError(text);
    return date;
}

QTime parseTime(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() == 2 || parts.size() == 3) {
        bool okH = false, okM = false, okS = true;
        const int h = parts[0].toInt(&okH);
        const int m = parts[1].toInt(&okM);
        const int s = parts.size() == 3 ? parts[2].toInt(&okS) : 0;
        const QTime t(h, m, s);
        if (okH && okM && okS && t.isValid())
            return t;
    }
    throw ConversionError(text);
}

bool tryParseInt(const QString& text, int* out) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok)
        *out = v;
    return ok;
}

int parseInt(const QString& text) {
    int v = 0;
    if (!tryParseInt(text, &v))
        throw ConversionError(text);
    return v;
}

QDateTime combine(const QString& dateText, const QString& timeText) {
    return wall(parseDate(dateText), parseTime(timeText));
}

qint64 minutesBetween(const QDateTime& a, const QDateTime& b) {
    return a.secsTo(b) / 60;
}

} // namespace plantime
