#include "debug_log.h"

#include "fake_clock.h"
#include "temp_data_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(DebugLog, RunMarkerThenOneLinePerMessageStampedToTheMinute) {
    FakeClock clock(QDateTime(QDate(2025, 12, 5), QTime(9, 0, 5)));
    DebugLog log(clock);
    EXPECT_TRUE(log.text().isEmpty());
    QStringList heard;
    log.setListener([&](const QString& line) { heard.append(line); });

    log.AddDebugLine(QStringLiteral("eins"));
    clock.advanceSecs(54); // 09:00:59, still the same minute
    log.AddDebugLine(QStringLiteral("zwei"));
    clock.advanceSecs(1);
    log.AddDebugLine(QStringLiteral("drei"));
    clock.set(QDate(2026, 1, 1), QTime(23, 59, 59));
    log.AddDebugLine(QStringLiteral("Höhe"));

    const QStringList expected = {
        QStringLiteral("2025-12-05 09:00: eins"),
        QStringLiteral("2025-12-05 09:00: zwei"),
        QStringLiteral("2025-12-05 09:01: drei"),
        QStringLiteral("2026-01-01 23:59: Höhe"),
    };
    EXPECT_EQ(heard, expected);
    EXPECT_EQ(log.text(), QStringLiteral("===\r\n") + expected.join(QStringLiteral("\r\n")));
}

TEST(DebugLog, TwoRunsLeaveTwoBlocksEachWrittenOnce) {
    TempDataFolder data;
    const QString file = data.filePath(QStringLiteral("debug_log.txt"));
    FakeClock clock(QDateTime(QDate(2025, 12, 5), QTime(9, 0)));
    {
        DebugLog run(clock); // a run without lines still records its end
        EXPECT_TRUE(run.SaveDebugLog(file));
    }
    clock.set(QDate(2025, 12, 5), QTime(17, 30));
    {
        DebugLog run(clock);
        run.AddDebugLine(QStringLiteral("Lade Wert \"Höhe\""));
        EXPECT_TRUE(run.SaveDebugLog(file));
        EXPECT_TRUE(run.SaveDebugLog(file));
    }
    EXPECT_EQ(data.read(QStringLiteral("debug_log.txt")),
              QByteArray("===\r\n"
                         "2025-12-05 09:00: Beende Taktplan.\r\n"
                         "===\r\n"
                         "2025-12-05 17:30: Lade Wert \"H\xF6he\"\r\n"
                         "2025-12-05 17:30: Beende Taktplan."));
}

TEST(DebugLog, UnwritableFileIsSkippedAndALaterSaveStillWorks) {
    TempDataFolder data;
    // A regular file where the folder should be: no write can succeed, whoever runs the test.
    data.write(QStringLiteral("blocked"), "not a folder");
    FakeClock clock(QDateTime(QDate(2025, 12, 5), QTime(9, 0)));
    DebugLog run(clock);
    run.AddDebugLine(QStringLiteral("Starte Taktplan 2.2"));
    EXPECT_FALSE(run.SaveDebugLog(data.filePath(QStringLiteral("blocked/debug_log.txt"))));
    EXPECT_EQ(data.read(QStringLiteral("blocked")), QByteArray("not a folder"));

    EXPECT_TRUE(run.SaveDebugLog(data.filePath(QStringLiteral("debug_log.txt"))));
    EXPECT_EQ(
        data.read(QStringLiteral("debug_log.txt")),
        QByteArray("===\r\n2025-12-05 09:00: Starte Taktplan 2.2\r\n2025-12-05 09:00: Beende Taktplan."));
}

} // namespace
