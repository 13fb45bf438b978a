#pragma once

#include "clock.h"

#include <QElapsedTimer>

#include <optional>

// The real clock. It can start at a chosen moment and run faster than real time
// (TAKTPLAN_FAKE_TIME=yyyy-mm-ddThh:nn:ss, TAKTPLAN_TIME_SPEED=N) for demonstrations and
// end-to-end tests; the monotonic tick always runs at real speed, so timers and debouncing
// behave as usual.
class SystemClock final : public Clock {
public:
    SystemClock();
    SystemClock(std::optional<QDateTime> start, double speed);

    // Reads TAKTPLAN_FAKE_TIME and TAKTPLAN_TIME_SPEED; invalid values are ignored.
    static SystemClock fromEnvironment();

    QDateTime localNow() const override;
    QDateTime utcNow() const override;
    qint64 tickMs() const override;

    double speed() const { return m_speed; }

private:
    QDateTime m_startUtc;
    double m_speed = 1.0;
    bool m_shifted = false;
    QElapsedTimer m_elapsed;
};
