#include "records.h"

#include "companion_program.h"
#include "fake_clock.h"
#include "fake_launcher.h"
#include "log_move.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
        EXPECT_EQ(launcher.starts.value(0).arguments, QStringList(u"2.2"_s));
        EXPECT_TRUE(first.settingsFile.firstStart());
        EXPECT_EQ(first.dailyTarget, -1000);
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
    const QByteArray debug = data.read(u"debug_log.txt"_s);
    EXPECT_EQ(
        debug.count("2025-12-05 10:00: Beende Taktplan.\r\n===\r\n2025-12-05 10:00: Starte Taktplan 2.2"), 1);
    EXPECT_TRUE(debug.endsWith("\r\n2025-12-05 10:00: Beende Taktplan."));
    EXPECT_TRUE(ui.messages.isEmpty());
    EXPECT_TRUE(ui.reminders.isEmpty());
}

TEST(Records, MovingTheLog) {
    const struct {
        const char* name;
        bool logExists;
        const char* to;
        logmove::Outcome outcome;
    } cases[] = {
        // Its next write would wipe the log.
        {"onto a break side file: refused", true, "mittag.txt", logmove::Outcome::Failed},
        {"with no log yet: the new path is taken", false, "neu.log", logmove::Outcome::NoLogYet},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempDataFolder data;
        FakeClock clock{QDateTime(QDate(2025, 12, 5), QTime(9, 0))};
        ScriptedUi ui;
        FakeLauncher launcher;
        CompanionProgram companion{launcher};
        Records records(clock, data.folder(), ui);
        records.start(companion);
        records.settings.Mittagspausendatei = data.filePath(u"mittag.txt"_s);
        data.write(u"mittag.txt"_s, "05.12.2025 12:00");
        const QString from = records.settings.LogDateiPfad;
        QFile::remove(from);
        if (c.logExists)
            data.write(u"Dezuzedu.log"_s, "\r\nFr, 05.12.2025 08:00|25 A [x]");
        const QString to = data.filePath(QString::fromLatin1(c.to));
        EXPECT_EQ(logmove::moveActivityLog(records, to).outcome, c.outcome);
        const QString taken = c.outcome == logmove::Outcome::Failed ? from : to;
        EXPECT_EQ(records.settings.LogDateiPfad, taken);
        EXPECT_EQ(data.read(u"Settings.ini"_s).contains(QFile::encodeName(to)), taken == to);
        EXPECT_EQ(data.read(u"mittag.txt"_s), "05.12.2025 12:00");
    }
}

} // namespace
