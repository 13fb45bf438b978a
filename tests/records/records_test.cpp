#include "records.h"

#include "companion_program.h"
#include "fake_clock.h"
#include "fake_launcher.h"
#include "records_test_util.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"

#include <gtest/gtest.h>

namespace {

TEST(Records, StartInOrderFinishAndASecondRunReadsWhatTheFirstLeft) {
    TempDataFolder data;
    FakeClock clock{QDateTime(QDate(2025, 12, 5), QTime(9, 0))};
    ScriptedUi ui;
    FakeLauncher launcher;
    CompanionProgram companion{launcher};
    {
        Records first(clock, data.folder(), ui);
        first.start(companion);
        EXPECT_EQ(launcher.starts.value(0).arguments, QStringList(QStringLiteral("2.2")));
        EXPECT_TRUE(first.settingsFile.firstStart());
        EXPECT_EQ(first.dailyTarget, -1000);
        const QStringList messages = debugMessages(first.debugLog);
        EXPECT_EQ(messages.mid(0, 2), QStringList({QStringLiteral("Starte Taktplan 2.2"),
                                                   QStringLiteral("Lade Wert \"Höhe\" aus INI-Datei.  Datei "
                                                                  "existiert nicht. Ergebnis: ")}));
        EXPECT_TRUE(lastDebugMessage(first.debugLog).startsWith(QStringLiteral("Lade Log-Datei: ")));
        first.settings.Verbleibend = 1;
        ASSERT_TRUE(first.activityLog.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 4), 3)));
        ASSERT_TRUE(first.activityLog.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 7)));
        clock.advanceSecs(3600);
        first.finish(); // the debug text, then the settings
    }
    Records second(clock, data.folder(), ui);
    second.start(companion);
    EXPECT_FALSE(second.settingsFile.firstStart());
    EXPECT_EQ(second.settings.Verbleibend, 1);
    EXPECT_EQ(second.dailyTarget, 7);
    second.finish();
    EXPECT_EQ(second.debugLogPath(), data.filePath(QStringLiteral("debug_log.txt")));
    const QByteArray debug = data.read(QStringLiteral("debug_log.txt"));
    EXPECT_EQ(
        debug.count("2025-12-05 10:00: Beende Taktplan.\r\n===\r\n2025-12-05 10:00: Starte Taktplan 2.2"), 1);
    EXPECT_TRUE(debug.endsWith("\r\n2025-12-05 10:00: Beende Taktplan."));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.reminders.isEmpty());
}

} // namespace
