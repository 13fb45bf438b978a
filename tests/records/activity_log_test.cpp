#include "activity_log.h"

#include "debug_log.h"
#include "fake_clock.h"
#include "records_test_util.h"
#include "scripted_ui.h"
#include "settings.h"
#include "temp_data_folder.h"

#include <QDir>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

QDateTime wall(int d, int h, int mi) {
    return QDateTime(QDate(2025, 12, d), QTime(h, mi), Qt::UTC);
}

QString reminderText(const QString& verb, const QString& path) {
    return QStringLiteral(
               "Taktplan - Fehler | Die Logdatei konnte leider nicht %1 werden. Mögliche Ursachen: \r\n"
               "- Sie wird von einem anderen Programm verwendet.\r\n"
               "- Sie wurde in einem Remote-Ordner gespeichert, der gerade nicht verfügbar ist.\r\n\r\n"
               "Logdatei: %2\r\n\r\n"
               "Tipp: Unter Einstellungen > Log-Datei speichern unter... kann geändert werden, wo die "
               "Logdatei gespeichert werden soll.")
        .arg(verb, path);
}

class ActivityLogTest : public ::testing::Test {
protected:
    ActivityLogTest() { settings.LogDateiPfad = data.filePath(QStringLiteral("Dezuzedu.log")); }

    QByteArray logBytes() const { return data.read(QStringLiteral("Dezuzedu.log")); }
    QString logPath() const { return settings.LogDateiPfad; }
    bool writeUnit(int hour, const QString& title) {
        return log.WriteLogEntry(ActivityLog::unitLine(wall(5, hour, 0), 25, title));
    }

    TempDataFolder data;
    FakeClock clock{QDateTime(QDate(2025, 12, 5), QTime(9, 1))};
    Settings settings;
    DebugLog debugLog{clock};
    ScriptedUi ui;
    ActivityLog log{clock, settings, debugLog, ui};
};

TEST_F(ActivityLogTest, EveryLineKindIsWrittenInItsLayout) {
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 6)));
    ASSERT_TRUE(writeUnit(9, QStringLiteral("Bericht für Max\r\nzweite Zeile")));
    EXPECT_TRUE(log.LastLineIsOpenUnit(QStringLiteral("Bericht")));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::finishMark()));
    EXPECT_FALSE(log.LastLineIsOpenUnit(QStringLiteral("Bericht")));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::replanLine(wall(5, 9, 40))));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::replanLine(wall(5, 9, 41), QStringLiteral("Telefon"))));
    ASSERT_TRUE(log.WriteLogEntry(QStringLiteral("Test"), true));
    EXPECT_EQ(logBytes(), QByteArray("\r\nFr, 05.12.2025 SOLL: 6"
                                     "\r\nFr, 05.12.2025 09:00|25 Bericht f\xFCr Max  zweite Zeile [x]"
                                     "\r\nFr, 05.12.2025 09:40 --- NEU GEPLANT ---"
                                     "\r\nFr, 05.12.2025 09:41 --- NEU GEPLANT --- Grund: Telefon"
                                     "\r\nFr, 05.12.2025 09:01 Test"));
    EXPECT_EQ(log.lines().join(QStringLiteral("\r\n")), QString::fromLatin1(logBytes()));

    // The first write creates the file, the others append; each is followed by a reload.
    const QStringList messages = debugMessages(debugLog);
    ASSERT_EQ(messages.size(), 12);
    EXPECT_EQ(messages[0], QStringLiteral("Schreibe in Log-Datei: \"") + logPath() +
                               QStringLiteral("\" LogDatei konnte beim ersten Versuch nicht geöffnet werden. "
                                              "Erstelle neu (Rewrite). Beschreiben erfolgreich."));
    EXPECT_TRUE(messages[2].endsWith(
        QStringLiteral("\" LogDatei geöffnet. Hänge an (Append). Beschreiben erfolgreich.")));
    EXPECT_EQ(messages[11], QStringLiteral("Lade Log-Datei: \"") + logPath() +
                                QStringLiteral("\" Einträge: 6. Laden erfolgte fehlerfrei."));
    EXPECT_TRUE(ui.reminders.isEmpty());
}

TEST_F(ActivityLogTest, StampsUseGermanWeekdaysOnEveryLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QStringList week;
    for (int day = 1; day <= 7; ++day) // 1 December 2025 is a Monday
        week.append(ActivityLog::stamp(wall(day, 7, 5)).left(3));
    EXPECT_EQ(week.join(QString()), QStringLiteral("Mo,Di,Mi,Do,Fr,Sa,So,"));
    // A wall-clock time that does not exist locally (the spring change) is written as it is.
    EXPECT_EQ(ActivityLog::stamp(QDateTime(QDate(2026, 3, 29), QTime(2, 30))),
              QStringLiteral("So, 29.03.2026 02:30"));
    QLocale::setDefault(previous);
}

// A log with every kind of line, old and new, and a few a hand editor could leave.
const QStringList everyKind = {
    QString(),
    QStringLiteral("Do, 04.12.2025 09:00|25 Gestern [x]"),
    QStringLiteral("Fr, 05.12.2025 SOLL: 6"),
    QStringLiteral("Fr, 05.12.2025 08:30 Altes Format [x]"),
    QStringLiteral("Fr, 05.12.2025 09:00|25 Bericht schreiben für Max [x]"),
    QStringLiteral("Fr, 05.12.2025 09:30|50 Lange Einheit [x]"),
    QStringLiteral("Fr, 05.12.2025 10:25 --- NEU GEPLANT ---"),
    QStringLiteral("Fr, 05.12.2025 10:40|25 Abgebrochen"),
    QStringLiteral("Fr, 05.12.2025 11:00 --- NEU GEPLANT --- Grund: Telefon [x]"),
    QStringLiteral("Fr, 05.12.2025 SOLL: 8"),
    QStringLiteral("Fr, 05.12.2025 12:00|25 Bericht schreiben für Max [x]"),
    QStringLiteral("Fr, 05.12.2025 SOLL: viele"),
    QStringLiteral("xx, 3x.12.2025 13:00|25 Kaputtes Datum [x]"),
    QStringLiteral("Fr, 05.12.2025 1x:00|25 Kaputte Zeit [x]"),
    QStringLiteral("Fr, 05.12.2025 14:00|zwanzig Kaputte Länge [x]"),
    QStringLiteral("Fr, 05.12.2025 15:00|25 日本語 lernen [x]"),
    QStringLiteral("Sa, 06.12.2025 SOLL: 4"),
    QStringLiteral("Sa, 06.12.2025 09:00|25 Samstag"),
    QString(),
};

TEST_F(ActivityLogTest, ReadersAnswerFromEveryKindOfLine) {
    settings.StandardDauerEinheit = 30; // the length of old unit lines without one
    log.setLines(everyKind);

    EXPECT_EQ(log.TargetForDay(QDate(2025, 12, 5)), 8); // the last valid target line of the day
    EXPECT_EQ(log.TargetForDay(QDate(2025, 12, 6)), 4);
    EXPECT_EQ(log.TargetForDay(QDate(2025, 12, 4)), -1000);

    QStringList units;
    for (const FinishedUnit& u : log.FinishedUnits(QDate(2025, 12, 5)))
        units.append(ActivityLog::stamp(u.start) + QStringLiteral("|%1 ").arg(u.minutes) + u.title);
    EXPECT_EQ(units, QStringList({QStringLiteral("Fr, 05.12.2025 08:30|30 Altes Format"),
                                  QStringLiteral("Fr, 05.12.2025 09:00|25 Bericht schreiben für Max"),
                                  QStringLiteral("Fr, 05.12.2025 09:30|50 Lange Einheit"),
                                  QStringLiteral("Fr, 05.12.2025 12:00|25 Bericht schreiben für Max"),
                                  QStringLiteral("Fr, 05.12.2025 15:00|25 日本語 lernen")}));
    EXPECT_TRUE(log.FinishedUnits(QDate(2025, 12, 6)).isEmpty()); // Samstag is not finished
    EXPECT_EQ(log.FinishedUnits(QDate(2025, 12, 4)).size(), 1);

    const QStringList all = QStringLiteral("Samstag,日本語 lernen,Kaputte Länge,Kaputte Zeit,Kaputtes Datum,"
                                           "Bericht schreiben für Max,Abgebrochen,Lange Einheit,Altes Format,"
                                           "Gestern")
                                .split(QLatin1Char(','));
    EXPECT_EQ(log.RecentTitles(100), all);
    EXPECT_EQ(log.RecentTitles(3), all.mid(0, 3));
    EXPECT_TRUE(log.RecentTitles(0).isEmpty());
    EXPECT_EQ(log.LastLine(), everyKind[everyKind.size() - 2]);
    EXPECT_EQ(log.LastTitle(), QStringLiteral("Samstag"));
}

TEST_F(ActivityLogTest, LastLineReadersLookFromTheEnd) {
    const QString replan = QStringLiteral("Fr, 05.12.2025 10:00 --- NEU GEPLANT --- Grund: x");
    log.setLines({QString(), QStringLiteral("Fr, 05.12.2025 09:00 Alt"), replan, QString()});
    EXPECT_EQ(log.LastLine(), replan);
    EXPECT_EQ(log.LastTitle(), QStringLiteral("Alt"));
    log.setLines({});
    EXPECT_EQ(log.LastLine(), QString());
    EXPECT_EQ(log.LastTitle(), QString());

    struct Case {
        QStringList lines;
        const char* text;
        bool open;
    };
    const QString unit = QStringLiteral("Fr, 05.12.2025 09:00|25 Bericht");
    const Case cases[] = {
        {{}, "Bericht", false},
        {{QString(), unit}, "Bericht", true},
        {{QString(), unit}, "", false},
        {{QString(), unit + QStringLiteral(" [x]")}, "Bericht", false},
        {{QString(), unit, QString()}, "Bericht", false}, // an empty last element
        {{QString(), QStringLiteral("Fr, 05.12.2025 SOLL: 8")}, "SOLL", false},
        {{QString(), QStringLiteral("Fr, 05.12.2025 09:00 --- NEU GEPLANT ---")}, "NEU", true},
    };
    for (const Case& c : cases) {
        log.setLines(c.lines);
        EXPECT_EQ(log.LastLineIsOpenUnit(QString::fromUtf8(c.text)), c.open)
            << c.lines.join(QLatin1Char('|')).toStdString() << " / " << c.text;
    }
}

TEST(ActivityLogTitle, ExtractionByLineKind) {
    const std::pair<const char*, const char*> cases[] = {
        {"Fr, 05.12.2025 09:00|125 Titel mit [x] in der Mitte", "Titel mit [x] in der Mitte"},
        {"Fr, 05.12.2025 09:00 AB", "AB"},
        {"Fr, 05.12.2025 09:00 A", ""},  // 22 characters carry no title
        {"Fr, 05.12.2025 09:00|25", ""}, // a length alone is no title
        {"Fr, 05.12.2025 09:00|25 [x]", ""},
        {"Fr, 05.12.2025 SOLL: 12345678", ""},
        {"", ""},
        {"kaputt", ""},
    };
    for (const auto& [line, title] : cases)
        EXPECT_EQ(ActivityLog::extractTitle(QString::fromUtf8(line)), QString::fromUtf8(title)) << line;
}

TEST_F(ActivityLogTest, WriteFailuresAreShownOnceUntilAWriteOrAReadOfItsOwnSucceeds) {
    const QString folder = QDir(data.path()).filePath(QStringLiteral("Netzlaufwerk"));
    settings.LogDateiPfad = QDir(folder).filePath(QStringLiteral("Dezuzedu.log"));
    log.setLines({QString(), QStringLiteral("Fr, 05.12.2025 08:00|25 Vorher [x]")});
    EXPECT_FALSE(log.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 6)));
    EXPECT_EQ(ui.reminders, QStringList(reminderText(QStringLiteral("beschrieben"), logPath())));
    EXPECT_EQ(log.lines().size(), 2); // the reload of a missing file keeps the list, unreported
    const QString trace = debugMessages(debugLog).join(QLatin1Char('\n'));
    EXPECT_TRUE(trace.contains(
        QStringLiteral("Erstelle neu (Rewrite). Beschreiben NICHT erfolgreich. Fehler: EInOutError | ")));
    EXPECT_TRUE(
        trace.contains(logPath() + QStringLiteral("\" Öffnen NICHT erfolgreich. Fehler: EFOpenError | ")));

    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(writeUnit(8, QStringLiteral("Früh")));
    EXPECT_TRUE(log.errorShownPath().isEmpty());
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::finishMark()));
    const QByteArray before = logBytes();
    bool first = true, second = true;
    {
        const FileSizeLimit limit(static_cast<rlim_t>(before.size())); // the file may not grow at all
        first = writeUnit(9, QStringLiteral("Spät"));
        second = log.WriteLogEntry(ActivityLog::finishMark());
    }
    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(logBytes(), before);
    // Shown again after the success, but the reload after each failed write, which succeeds,
    // does not make the second failure news.
    EXPECT_EQ(ui.reminders.size(), 2);
    EXPECT_EQ(log.errorShownPath(), logPath());
    EXPECT_TRUE(log.LoadLog());
    EXPECT_TRUE(log.errorShownPath().isEmpty());
    EXPECT_EQ(log.lines(), QStringList({QString(), QStringLiteral("Fr, 05.12.2025 08:00|25 Früh [x]")}));
}

TEST_F(ActivityLogTest, UnreadableFileIsReportedOnceAndTheListStays) {
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("Dezuzedu.log")));
    log.setLines(everyKind);
    EXPECT_FALSE(log.LoadLog());
    EXPECT_FALSE(log.LoadLog());
    EXPECT_EQ(log.lines(), everyKind);
    EXPECT_EQ(ui.reminders, QStringList(reminderText(QStringLiteral("geladen"), logPath())));
}

TEST_F(ActivityLogTest, VanishedFileIsNotReportedAndIsCreatedAgain) {
    ASSERT_TRUE(writeUnit(9, QStringLiteral("日本語 lernen")));
    ASSERT_TRUE(QFile::remove(logPath())); // gone between two runs: normal, not reported
    EXPECT_FALSE(log.LoadLog());
    EXPECT_TRUE(ui.reminders.isEmpty());
    EXPECT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(lastDebugMessage(debugLog).contains(QStringLiteral(" Öffnen NICHT erfolgreich. Fehler: ")));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 3)));
    EXPECT_EQ(logBytes(), QByteArray("\r\nFr, 05.12.2025 SOLL: 3"));
    EXPECT_TRUE(ui.reminders.isEmpty());
}

} // namespace
