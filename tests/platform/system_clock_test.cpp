#include "scoped_env.h"
#include "system_clock.h"

#include <QThread>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SystemClock, FakeStartAndSpeedFromTheEnvironment) {
    const QDateTime start(QDate(2026, 3, 29), QTime(1, 59, 0));
    const SystemClock clock(start, 600.0); // ten minutes a second
    const QDateTime first = clock.localNow();
    EXPECT_GE(first, start);
    EXPECT_LT(start.secsTo(first), 60);
    QThread::msleep(200);
    // 200 ms at 600x are at least two minutes of clock time, while the tick stays real.
    EXPECT_GE(first.secsTo(clock.localNow()), 110);
    EXPECT_LT(clock.tickMs(), 10'000);

    ScopedEnv env;
    env.set("TAKTPLAN_FAKE_TIME", "2025-12-05T09:00:00");
    env.set("TAKTPLAN_TIME_SPEED", "2");
    const SystemClock fromEnv = SystemClock::fromEnvironment();
    EXPECT_EQ(fromEnv.speed(), 2.0);
    EXPECT_EQ(fromEnv.localNow().toString(u"yyyy-MM-dd hh"), u"2025-12-05 09"_s);

    env.set("TAKTPLAN_FAKE_TIME", "05.12.2025 09:00");
    env.set("TAKTPLAN_TIME_SPEED", "-3");
    // Neither can be read: the real clock at its real speed.
    const SystemClock unread = SystemClock::fromEnvironment();
    EXPECT_EQ(unread.speed(), 1.0);
    EXPECT_LE(qAbs(unread.localNow().secsTo(QDateTime::currentDateTime())), 5);
}
