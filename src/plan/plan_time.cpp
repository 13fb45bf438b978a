#include "plan_time.h"

#include "clock.h"
#include "value_text.h"

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
    return valuetext::formatDate(date);
}

QString formatTime(QTime t) {
    return t.toString(QStringLiteral("HH:mm"));
}

QString formatTime(const QDateTime& t) {
    return formatTime(t.time());
}

QDate parseDate(const QString& text) {
    QDate date;
    if (!valuetext::readDate(text, &date))
        throw ConversionError(text);
    return date;
}

QTime parseTime(const QString& text) {
    const QStringList parts = text.trimmed().split(QLatin1Char(':'));
    if (parts.size() == 2 || parts.size() == 3) {
        int h = 0, m = 0, s = 0;
        const bool ok = valuetext::readInt(parts[0], &h) && valuetext::readInt(parts[1], &m) &&
                        (parts.size() == 2 || valuetext::readInt(parts[2], &s));
        const QTime t(h, m, s);
        if (ok && t.isValid())
            return t;
    }
    throw ConversionError(text);
}

} // namespace plantime
