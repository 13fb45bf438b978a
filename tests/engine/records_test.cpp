#include "records.h"

#include "companion_program.h"
#include "engine_test_util.h"
#include "fake_clock.h"
#include "fake_launcher.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"

#include <gtest/gtest.h>

namespace {

class RecordsTest : public ::testing::Test {
protected:
    TempDataFolder data;
    FakeClock clock{QDateTime(QDate(2025, 12, 5), QTime(9, 0))};
    ScriptedUi ui;
    FakeLauncher launcher;
    CompanionProgram companion{launcher};
};

TEST_F(RecordsTest, FirstRunStartsFromDefaultsAndLeavesItsFiles) {
    {
        Records records(clock, data.folder(), ui);
        records.start(companion);
        EXPECT_EQ(launcher.starts,
                  QList<FakeLauncher::Start>(
                      {{QStringLiteral("Taktplan_AutoHotkey_Helper.exe"), {QStringLiteral("2.2")}}}));
        EXPECT_TRUE(records.settingsFile.firstStart());
        EXPECT_EQ(records.dailyTarget, -1000);
        EXPECT_TRUE(records.debugLog.text().startsWith(
            QStringLiteral("===\r\n2025-12-05 09:00: Starte Taktplan 2.2\r\n"
                           "2025-12-05 09:00: Lade Wert \"Höhe\"")));
        const QStringList messages = debugMessages(records.debugLog);
        EXPECT_EQ(messages.last(), QStringLiteral("Lade Log-Datei: \"") +
                                       data.filePath(QStringLiteral("Dezuzedu.log")) +
                                       QStringLiteral("\" Öffnen NICHT erfolgreich. Fehler: EFOpenError | ") +
                                       messages.last().section(QStringLiteral(" | "), 1));
        clock.advanceSecs(3600);
        records.settings.StandardDauerEinheit = 40;
        records.finish();
    }
    EXPECT_TRUE(
        data.read(QStringLiteral("debug_log.txt")).endsWith("\r\n2025-12-05 10:00: Beende Taktplan."));
    EXPECT_TRUE(data.read(QStringLiteral("Settings.ini")).contains("\r\nStandardDauerEinheit=40\r\n"));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.reminders.isEmpty());
}

TEST_F(RecordsTest, SecondRunReadsWhatTheFirstLeftAndTakesTodaysTarget) {
    {
        Records first(clock, data.folder(), ui);
        first.start(companion);
        first.settings.NeuPlanenMax = 2;
        first.settings.Verbleibend = 1;
        ASSERT_TRUE(first.saveSettings());
        ASSERT_TRUE(first.activityLog.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 4), 3)));
        ASSERT_TRUE(first.activityLog.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 7)));
        first.finish();
    }
    clock.advanceSecs(60);
    Records second(clock, data.folder(), ui);
    second.start(companion);
    EXPECT_FALSE(second.settingsFile.firstStart());
    EXPECT_EQ(second.settings.NeuPlanenMax, 2);
    EXPECT_EQ(second.settings.Verbleibend, 1);
    EXPECT_EQ(second.dailyTarget, 7);
    EXPECT_EQ(second.activityLog.lines().size(), 3);
    second.finish();

    const QByteArray debug = data.read(QStringLiteral("debug_log.txt"));
    EXPECT_TRUE(debug.startsWith("===\r\n2025-12-05 09:00: Starte Taktplan 2.2\r\n"));
    EXPECT_EQ(debug.count("\r\n===\r\n2025-12-05 09:01: Starte Taktplan 2.2\r\n"), 1);
    EXPECT_EQ(debug.count("Beende Taktplan."), 2);
    EXPECT_EQ(second.debugLogPath(), data.filePath(QStringLiteral("debug_log.txt")));
}

} // namespace
