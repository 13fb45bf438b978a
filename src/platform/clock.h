#pragma once

#include <QDateTime>

// The one source of time for the whole program. Nothing outside the platform layer reads the
// system clock, so tests and demonstrations can run any day at any speed.
class Clock {
public:
    virtual ~Clock() = default;

    // Local wall-clock time (QDateTime in local time, with the system's time zone).
    virtual QDateTime localNow() const = 0;
    virtual QDateTime utcNow() const = 0;
    // Monotonic milliseconds since an arbitrary start; for debouncing and animations.
    virtual qint64 tickMs() const = 0;

    QDate today() const { return localNow().date(); }
};
