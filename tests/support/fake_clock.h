#pragma once

#include "clock.h"

#include <QDateTime>

// A clock that stands still until the test moves it. Times are local wall-clock times in the
// process's time zone (CTest pins TZ).
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime localNow = QDateTime(QDate(2026, 12, 7), QTime(9, 0)),
                       qint64 tickMs = 1'000'000)
        : m_now(std::move(localNow)), m_tick(tickMs) {}

    QDateTime localNow() const override { return m_now.toLocalTime(); }
    QDateTime utcNow() const override { return m_now.toUTC(); }
    qint64 tickMs() const override { return m_tick; }

    void set(QDate date, QTime time) { m_now = QDateTime(date, time); }
    void advanceSecs(qint64 secs) { advanceMs(secs * 1000); }
    void advanceMs(qint64 ms) {
        m_now = m_now.addMSecs(ms);
        m_tick += ms;
    }

private:
    QDateTime m_now;
    qint64 m_tick;
};
