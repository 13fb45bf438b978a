#include "activity_log.h"

#include "debug_log.h"
#include "engine_test_util.h"
#include "fake_clock.h"
#include "scripted_ui.h"
#include "settings.h"
#include "temp_data_folder.h"

#include <QDir>
#include <QLocale>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QDateTime wall(int y, int mo, int d, int h, int mi) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi), Qt::UTC);
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

    TempDataFolder data;
    FakeClock clock{QDateTime(QDate(2025, 12, 5), QTime(9, 1))};
    Settings settings;
    DebugLog debugLog{clock};
    ScriptedUi ui;
    ActivityLog log{clock, settings, debugLog, ui};
};

TEST_F(ActivityLogTest, NewFileForOneFinishedUnit) {
    ASSERT_TRUE(
        log.WriteLogEntry(ActivityLog::unitLine(wall(2025, 12, 5, 9, 0), 25, QStringLiteral("Bericht"))));
    EXPECT_TRUE(log.LastLineIsOpenUnit(QStringLiteral("Bericht")));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::finishMark()));

    EXPECT_EQ(logBytes(), QByteArray("\r\nFr, 05.12.2025 09:00|25 Bericht [x]"));
    EXPECT_EQ(log.lines(), QStringList({QString(), QStringLiteral("Fr, 05.12.2025 09:00|25 Bericht [x]")}));
    EXPECT_FALSE(log.LastLineIsOpenUnit(QStringLiteral("Bericht")));
    const QString quoted = QLatin1Char('"') + logPath() + QLatin1Char('"');
    EXPECT_EQ(
        debugMessages(debugLog),
        QStringList({
            QStringLiteral("Schreibe in Log-Datei: ") + quoted +
                QStringLiteral(" LogDatei konnte beim ersten Versuch nicht geöffnet werden. Erstelle neu "
                               "(Rewrite). Beschreiben erfolgreich."),
            QStringLiteral("Lade Log-Datei: ") + quoted +
                QStringLiteral(" Einträge: 2. Laden erfolgte fehlerfrei."),
            QStringLiteral("Schreibe in Log-Datei: ") + quoted +
                QStringLiteral(" LogDatei geöffnet. Hänge an (Append). Beschreiben erfolgreich."),
            QStringLiteral("Lade Log-Datei: ") + quoted +
                QStringLiteral(" Einträge: 2. Laden erfolgte fehlerfrei."),
        }));
    EXPECT_TRUE(ui.reminders.isEmpty());
}

TEST_F(ActivityLogTest, EveryLineKindIsWrittenInItsLayout) {
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 6)));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::unitLine(wall(2025, 12, 5, 9, 0), 25,
                                                        QStringLiteral("Bericht für Max\r\nzweite Zeile"))));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::finishMark()));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::replanLine(wall(2025, 12, 5, 9, 40))));
    ASSERT_TRUE(
        log.WriteLogEntry(ActivityLog::replanLine(wall(2025, 12, 5, 9, 41), QStringLiteral("Telefon"))));
    ASSERT_TRUE(log.WriteLogEntry(QStringLiteral("Test"), true));
    EXPECT_EQ(logBytes(), QByteArray("\r\nFr, 05.12.2025 SOLL: 6"
                                     "\r\nFr, 05.12.2025 09:00|25 Bericht f\xFCr Max  zweite Zeile [x]"
                                     "\r\nFr, 05.12.2025 09:40 --- NEU GEPLANT ---"
                                     "\r\nFr, 05.12.2025 09:41 --- NEU GEPLANT --- Grund: Telefon"
                                     "\r\nFr, 05.12.2025 09:01 Test"));
    EXPECT_EQ(log.lines().size(), 6);
}

TEST_F(ActivityLogTest, StampsUseGermanWeekdaysOnEveryLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const QString expected[] = {QStringLiteral("Mo"), QStringLiteral("Di"), QStringLiteral("Mi"),
                                QStringLiteral("Do"), QStringLiteral("Fr"), QStringLiteral("Sa"),
                                QStringLiteral("So")};
    for (int day = 1; day <= 7; ++day)
        EXPECT_EQ(ActivityLog::weekdayAbbreviation(QDate(2025, 12, day)), expected[day - 1]) << day;
    EXPECT_EQ(ActivityLog::stamp(wall(2026, 1, 4, 7, 5)), QStringLiteral("So, 04.01.2026 07:05"));
    EXPECT_EQ(ActivityLog::stamp(QDateTime(QDate(2026, 3, 29), QTime(2, 30))),
              QStringLiteral("So, 29.03.2026 02:30"));
    EXPECT_EQ(ActivityLog::dayStamp(QDate(2025, 12, 31)), QStringLiteral("Mi, 31.12.2025"));
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
    settings.StandardDauerEinheit = 30;
    log.setLines(everyKind);

    EXPECT_EQ(log.TargetForDay(QDate(2025, 12, 5)), 8); // the last valid target line of the day
    EXPECT_EQ(log.TargetForDay(QDate(2025, 12, 6)), 4);
    EXPECT_EQ(log.TargetForDay(QDate(2025, 12, 4)), -1000);

    const QList<FinishedUnit> units = log.FinishedUnits(QDate(2025, 12, 5));
    struct Expected {
        QString title;
        int hour, minute, minutes;
    };
    const Expected expected[] = {
        {QStringLiteral("Altes Format"), 8, 30, 30},
        {QStringLiteral("Bericht schreiben für Max"), 9, 0, 25},
        {QStringLiteral("Lange Einheit"), 9, 30, 50},
        {QStringLiteral("Bericht schreiben für Max"), 12, 0, 25},
        {QStringLiteral("日本語 lernen"), 15, 0, 25},
    };
    ASSERT_EQ(units.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(units[i].title, expected[i].title) << i;
        EXPECT_EQ(units[i].start, wall(2025, 12, 5, expected[i].hour, expected[i].minute)) << i;
        EXPECT_EQ(units[i].minutes, expected[i].minutes) << i;
    }
    EXPECT_TRUE(log.FinishedUnits(QDate(2025, 12, 6)).isEmpty()); // Samstag is not finished
    EXPECT_EQ(log.FinishedUnits(QDate(2025, 12, 4)).size(), 1);

    const QStringList all = {
        QStringLiteral("Samstag"),        QStringLiteral("日本語 lernen"),
        QStringLiteral("Kaputte Länge"),  QStringLiteral("Kaputte Zeit"),
        QStringLiteral("Kaputtes Datum"), QStringLiteral("Bericht schreiben für Max"),
        QStringLiteral("Abgebrochen"),    QStringLiteral("Lange Einheit"),
        QStringLiteral("Altes Format"),   QStringLiteral("Gestern"),
    };
    EXPECT_EQ(log.RecentTitles(100), all);
    EXPECT_EQ(log.RecentTitles(3), all.mid(0, 3));
    EXPECT_TRUE(log.RecentTitles(0).isEmpty());

    EXPECT_EQ(log.LastLine(), QStringLiteral("Sa, 06.12.2025 09:00|25 Samstag"));
    EXPECT_EQ(log.LastTitle(), QStringLiteral("Samstag"));
}

TEST_F(ActivityLogTest, LastTitleAndLastLineSkipWhatCarriesNoTitle) {
    struct Case {
        QStringList lines;
        QString lastLine;
        QString lastTitle;
    };
    const Case cases[] = {
        {{}, QString(), QString()},
        {{QString(), QString()}, QString(), QString()},
        {{QString(), QStringLiteral("Fr, 05.12.2025 09:00|25 Bericht [x]"),
          QStringLiteral("Fr, 05.12.2025 SOLL: 8")},
         QStringLiteral("Fr, 05.12.2025 SOLL: 8"),
         QStringLiteral("Bericht")},
        {{QStringLiteral("Fr, 05.12.2025 09:00 Alt"),
          QStringLiteral("Fr, 05.12.2025 10:00 --- NEU GEPLANT --- Grund: x"), QString()},
         QStringLiteral("Fr, 05.12.2025 10:00 --- NEU GEPLANT --- Grund: x"),
         QStringLiteral("Alt")},
    };
    for (const Case& c : cases) {
        log.setLines(c.lines);
        EXPECT_EQ(log.LastLine(), c.lastLine);
        EXPECT_EQ(log.LastTitle(), c.lastTitle);
    }
}

TEST_F(ActivityLogTest, LastLineIsOpenUnitLooksAtTheVeryLastElement) {
    struct Case {
        QStringList lines;
        QString text;
        bool open;
    };
    const QString unit = QStringLiteral("Fr, 05.12.2025 09:00|25 Bericht");
    const Case cases[] = {
        {{}, QStringLiteral("Bericht"), false},
        {{QString(), unit}, QStringLiteral("Bericht"), true},
        {{QString(), unit}, QStringLiteral("25 Bericht"), true},
        {{QString(), unit}, QStringLiteral("Brief"), false},
        {{QString(), unit}, QString(), false},
        {{QString(), unit + QStringLiteral(" [x]")}, QStringLiteral("Bericht"), false},
        {{QString(), unit, QString()}, QStringLiteral("Bericht"), false}, // an empty last element
        {{QString(), QStringLiteral("Fr, 05.12.2025 SOLL: 8")}, QStringLiteral("SOLL"), false},
        {{QString(), QStringLiteral("Fr, 05.12.2025 09:00 --- NEU GEPLANT ---")},
         QStringLiteral("NEU"),
         true},
    };
    for (const Case& c : cases) {
        log.setLines(c.lines);
        EXPECT_EQ(log.LastLineIsOpenUnit(c.text), c.open)
            << c.lines.join(QLatin1Char('|')).toStdString() << " / " << c.text.toStdString();
    }
}

TEST(ActivityLogTitle, ExtractionByLineKind) {
    struct Case {
        QString line;
        QString title;
    };
    const Case cases[] = {
        {QStringLiteral("Fr, 05.12.2025 09:00|25 Bericht [x]"), QStringLiteral("Bericht")},
        {QStringLiteral("Fr, 05.12.2025 09:00|25 Bericht schreiben für Max"),
         QStringLiteral("Bericht schreiben für Max")},
        {QStringLiteral("Fr, 05.12.2025 09:00|125 Titel mit [x] in der Mitte"),
         QStringLiteral("Titel mit [x] in der Mitte")},
        {QStringLiteral("Fr, 05.12.2025 09:00 Altes Format [x]"), QStringLiteral("Altes Format")},
        {QStringLiteral("Fr, 05.12.2025 09:00 AB"), QStringLiteral("AB")},
        {QStringLiteral("Fr, 05.12.2025 09:00 A"), QString()},  // 22 characters carry no title
        {QStringLiteral("Fr, 05.12.2025 09:00|25"), QString()}, // a length alone is no title
        {QStringLiteral("Fr, 05.12.2025 09:00|25 [x]"), QString()},
        {QStringLiteral("Fr, 05.12.2025 SOLL: 12345678"), QString()},
        {QStringLiteral("Fr, 05.12.2025 09:00 --- NEU GEPLANT ---"), QString()},
        {QStringLiteral("Fr, 05.12.2025 09:00 --- NEU GEPLANT --- Grund: keine Lust"), QString()},
        {QString(), QString()},
        {QStringLiteral("kaputt"), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ActivityLog::extractTitle(c.line), c.title) << c.line.toStdString();
}

TEST_F(ActivityLogTest, WriteFailuresAreShownOncePerPathUntilSomethingSucceeds) {
    const QString folder = QDir(data.path()).filePath(QStringLiteral("Netzlaufwerk"));
    settings.LogDateiPfad = QDir(folder).filePath(QStringLiteral("Dezuzedu.log"));
    log.setLines({QString(), QStringLiteral("Fr, 05.12.2025 08:00|25 Vorher [x]")});

    EXPECT_FALSE(log.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 6)));
    EXPECT_EQ(log.errorShownPath(), logPath());
    EXPECT_EQ(ui.reminders, QStringList(reminderText(QStringLiteral("beschrieben"), logPath())));
    // The reload of a missing file keeps the list and is not reported.
    EXPECT_EQ(log.lines().size(), 2);
    const QStringList messages = debugMessages(debugLog);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages[0].contains(QStringLiteral(" Erstelle neu (Rewrite). Beschreiben NICHT erfolgreich. "
                                                    "Fehler: EInOutError | ")));
    EXPECT_TRUE(
        messages[1].startsWith(QStringLiteral("Lade Log-Datei: \"") + logPath() +
                               QStringLiteral("\" Öffnen NICHT erfolgreich. Fehler: EFOpenError | ")));

    EXPECT_FALSE(log.WriteLogEntry(ActivityLog::finishMark()));
    EXPECT_EQ(ui.reminders.size(), 1);

    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_TRUE(log.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 6)));
    EXPECT_TRUE(log.errorShownPath().isEmpty());
    EXPECT_EQ(log.lines(), QStringList({QString(), QStringLiteral("Fr, 05.12.2025 SOLL: 6")}));

    ASSERT_TRUE(QDir(folder).removeRecursively());
    EXPECT_FALSE(log.WriteLogEntry(ActivityLog::finishMark()));
    EXPECT_EQ(ui.reminders.size(), 2);
    EXPECT_EQ(log.lines().size(), 2); // what was read stays in memory
}

TEST_F(ActivityLogTest, FailedAppendLeavesEveryEarlierByte) {
    ASSERT_TRUE(
        log.WriteLogEntry(ActivityLog::unitLine(wall(2025, 12, 5, 8, 0), 25, QStringLiteral("Früh"))));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::finishMark()));
    const QByteArray before = logBytes();

    // The file may not grow at all: every append fails, as on a full disk.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = static_cast<rlim_t>(before.size());
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool first =
        log.WriteLogEntry(ActivityLog::unitLine(wall(2025, 12, 5, 9, 0), 25, QStringLiteral("Spät")));
    const bool second = log.WriteLogEntry(ActivityLog::finishMark());
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(first);
    EXPECT_FALSE(second);
    EXPECT_EQ(logBytes(), before);
    // The reload after each failed write succeeds, but it does not make the second failure
    // news to the user: the message stands once until a write or a read of its own succeeds.
    EXPECT_EQ(ui.reminders.size(), 1);
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

TEST_F(ActivityLogTest, MissingFileIsNotReportedAndIsCreatedByTheNextWrite) {
    ASSERT_TRUE(
        log.WriteLogEntry(ActivityLog::unitLine(wall(2025, 12, 5, 8, 0), 25, QStringLiteral("Früh"))));
    ASSERT_TRUE(QFile::remove(logPath())); // gone between two runs

    EXPECT_FALSE(log.LoadLog());
    EXPECT_TRUE(ui.reminders.isEmpty());
    EXPECT_EQ(log.lines().size(), 2);
    EXPECT_TRUE(
        debugMessages(debugLog).last().contains(QStringLiteral(" Öffnen NICHT erfolgreich. Fehler: ")));

    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 3)));
    EXPECT_EQ(logBytes(), QByteArray("\r\nFr, 05.12.2025 SOLL: 3"));
    EXPECT_TRUE(ui.reminders.isEmpty());
}

TEST_F(ActivityLogTest, TitlesOutsideWindows1252KeepEveryCharacter) {
    const QString title = QStringLiteral("日本語 lernen ✓");
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::unitLine(wall(2025, 12, 5, 9, 0), 25, title)));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::finishMark()));
    ASSERT_TRUE(
        log.WriteLogEntry(ActivityLog::unitLine(wall(2025, 12, 5, 9, 30), 25, QStringLiteral("Übung"))));
    EXPECT_EQ(logBytes(), QByteArray("\r\n") +
                              QStringLiteral("Fr, 05.12.2025 09:00|25 日本語 lernen ✓ [x]").toUtf8() +
                              QByteArray("\r\nFr, 05.12.2025 09:30|25 \xDC"
                                         "bung"));

    ASSERT_TRUE(log.LoadLog());
    const QList<FinishedUnit> units = log.FinishedUnits(QDate(2025, 12, 5));
    ASSERT_EQ(units.size(), 1);
    EXPECT_EQ(units[0].title, title);
    EXPECT_EQ(log.RecentTitles(5), QStringList({QStringLiteral("Übung"), title}));
}

} // namespace
