#include "debug_log.h"

#include "fake_clock.h"
#include "temp_data_folder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TEST(DebugLog, EachRunAppendsOneBlockStampedToTheMinuteOnce) {
    TempDataFolder data;
    // A regular file where the folder should be: no write can succeed, whoever runs the test.
    data.write(u"blocked"_s, "not a folder");
    const QString file = data.filePath(u"debug_log.txt"_s);
    FakeClock clock(QDateTime(QDate(2025, 12, 5), QTime(9, 0)));
    {
        DebugLog run(clock); // a run without lines still records its end
        EXPECT_FALSE(run.SaveDebugLog(data.filePath(u"blocked/debug_log.txt"_s)));
        EXPECT_TRUE(run.SaveDebugLog(file)); // the failed attempt did not count as saved
    }
    clock.set(QDate(2025, 12, 31), QTime(23, 59, 5));
    {
        DebugLog run(clock);
        run.AddDebugLine(u"Lade Wert \"Höhe\""_s);
        // This run writes its lines as they come: a kill now leaves the run's account so far.
        run.writeThrough(file);
        clock.advanceSecs(54); // still the same minute
        run.AddDebugLine(u"zwei"_s);
        clock.advanceSecs(1);
        run.AddDebugLine(u"drei"_s);
        EXPECT_TRUE(data.read(u"debug_log.txt"_s)
                        .endsWith("\r\n===\r\n2025-12-31 23:59: Lade Wert \"H\xF6he\"\r\n"
                                  "2025-12-31 23:59: zwei\r\n2026-01-01 00:00: drei"));
        EXPECT_TRUE(run.SaveDebugLog(file));
        EXPECT_TRUE(run.SaveDebugLog(file));
    }
    EXPECT_EQ(data.read(u"blocked"_s), QByteArray("not a folder"));
    EXPECT_EQ(data.read(u"debug_log.txt"_s), QByteArray("===\r\n"
                                                        "2025-12-05 09:00: Beende Taktplan.\r\n"
                                                        "===\r\n"
                                                        "2025-12-31 23:59: Lade Wert \"H\xF6he\"\r\n"
                                                        "2025-12-31 23:59: zwei\r\n"
                                                        "2026-01-01 00:00: drei\r\n"
                                                        "2026-01-01 00:00: Beende Taktplan."));
}

} // namespace
