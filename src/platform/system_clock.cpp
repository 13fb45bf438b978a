#include "system_clock.h"

#include <QtGlobal>

#include <cmath>

SystemClock::SystemClock() : SystemClock(std::nullopt, 1.0) {}

SystemClock::SystemClock(std::optional<QDateTime> start, double speed)
    : m_startUtc(start && start->isValid() ? start->toUTC() : QDateTime::currentDateTimeUtc()),
      m_speed(speed > 0 && std::isfinite(speed) ? speed : 1.0),
      m_shifted((start && start->isValid()) || m_speed != 1.0) {
    m_elapsed.start();
}

SystemClock SystemClock::fromEnvironment() {
    std::optional<QDateTime> start;
    const QString fake = qEnvironmentVariable("TAKTPLAN_FAKE_TIME").trimmed();
    if (!fake.isEmpty()) {
        QDateTime parsed = QDateTime::fromString(fake, QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        if (parsed.isValid())
            start = parsed; // local time
    }
    double speed = 1.0;
    const QString speedText = qEnvironmentVariable("TAKTPLAN_TIME_SPEED").trimmed();
    if (!speedText.isEmpty()) {
        bool ok = false;
        const double value = speedText.toDouble(&ok);
        if (ok && value > 0)
            speed = value;
    }
    return SystemClock(start, speed);
}

QDateTime SystemClock::utcNow() const {
    if (!m_shifted)
        return QDateTime::currentDateTimeUtc();
    const auto scaled = static_cast<qint64>(std::llround(static_cast<double>(m_elapsed.elapsed()) * m_speed));
    return m_startUtc.addMSecs(scaled);
}

QDateTime SystemClock::localNow() const {
    if (!m_shifted)
        return QDateTime::currentDateTime();
    return utcNow().toLocalTime();
}

qint64 SystemClock::tickMs() const {
    return m_elapsed.elapsed();
}
