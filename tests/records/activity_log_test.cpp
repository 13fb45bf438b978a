#include "activity_log.h"

#include "case_table.h"
#include "debug_log.h"
#include "fake_clock.h"
#include "file_size_limit.h"
#include "scripted_ui.h"
#include "settings.h"
#include "special_files.h"
#include "temp_data_folder.h"

#include <QDir>
#include <QLocale>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

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
    ActivityLogTest() { settings.LogDateiPfad = data.filePath(u"Dezuzedu.log"_s); }

    QByteArray logBytes() const { return readBytes(logPath()); }
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
    ASSERT_TRUE(writeUnit(9, u"Bericht für Max\r\nzweite Zeile"_s));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::finishMark()));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::replanLine(wall(5, 9, 40))));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::replanLine(wall(5, 9, 41), u"Telefon"_s)));
    ASSERT_TRUE(log.WriteLogEntry(u"Test"_s, true));
    EXPECT_EQ(logBytes(), QByteArray("\r\nFr, 05.12.2025 SOLL: 6"
                                     "\r\nFr, 05.12.2025 09:00|25 Bericht f\xFCr Max  zweite Zeile [x]"
                                     "\r\nFr, 05.12.2025 09:40 --- NEU GEPLANT ---"
                                     "\r\nFr, 05.12.2025 09:41 --- NEU GEPLANT --- Grund: Telefon"
                                     "\r\nFr, 05.12.2025 09:01 Test"));
    EXPECT_EQ(log.lines().join(u"\r\n"_s), QString::fromLatin1(logBytes()));
    EXPECT_TRUE(ui.reminders.isEmpty());
}

TEST_F(ActivityLogTest, StampsUseGermanWeekdaysOnEveryLocale) {
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::English));
    QStringList week;
    for (int day = 1; day <= 7; ++day) // 1 December 2025 is a Monday
        week.append(ActivityLog::stamp(wall(day, 7, 5)).left(3));
    EXPECT_EQ(week.join(QString()), u"Mo,Di,Mi,Do,Fr,Sa,So,"_s);
    // A wall-clock time that does not exist locally (the spring change) is written as it is.
    EXPECT_EQ(ActivityLog::stamp(QDateTime(QDate(2026, 3, 29), QTime(2, 30))), u"So, 29.03.2026 02:30"_s);
    QLocale::setDefault(previous);
}

// A log with every kind of line, old and new, and a few a hand editor could leave.
QStringList everyKind() {
    return QString::fromUtf8(goldenBytes(QStringLiteral(TAKTPLAN_TEST_DATA_DIR "/every_kind.log")))
        .remove(u'\r')
        .split(u'\n');
}

TEST_F(ActivityLogTest, ReadersAnswerFromEveryKindOfLine) {
    settings.StandardDauerEinheit = 30; // the length of old unit lines without one
    const QStringList lines = everyKind();
    log.setLines(lines);

    EXPECT_EQ(log.TargetForDay(QDate(2025, 12, 5)), 8); // the last valid target line of the day
    EXPECT_EQ(log.TargetForDay(QDate(2025, 12, 6)), 4);
    EXPECT_EQ(log.TargetForDay(QDate(2025, 12, 4)), -1000);

    QStringList units;
    for (const FinishedUnit& u : log.FinishedUnits(QDate(2025, 12, 5)))
        units.append(ActivityLog::stamp(u.start) + u"|%1 "_s.arg(u.minutes) + u.title);
    EXPECT_EQ(units, QStringList({u"Fr, 05.12.2025 08:30|30 Altes Format"_s,
                                  u"Fr, 05.12.2025 09:00|25 Bericht schreiben für Max"_s,
                                  u"Fr, 05.12.2025 09:30|50 Lange Einheit"_s,
                                  u"Fr, 05.12.2025 12:00|25 Bericht schreiben für Max"_s,
                                  u"Fr, 05.12.2025 15:00|25 日本語 lernen"_s}));
    EXPECT_TRUE(log.FinishedUnits(QDate(2025, 12, 6)).isEmpty()); // Samstag is not finished
    EXPECT_EQ(log.FinishedUnits(QDate(2025, 12, 4)).size(), 1);

    const QStringList all = QStringLiteral("Samstag,日本語 lernen,Kaputte Länge,Kaputte Zeit,Kaputtes Datum,"
                                           "Bericht schreiben für Max,Abgebrochen,Lange Einheit,Altes Format,"
                                           "Gestern")
                                .split(QLatin1Char(','));
    EXPECT_EQ(log.RecentTitles(100), all);
    EXPECT_EQ(log.RecentTitles(3), all.mid(0, 3));
    EXPECT_TRUE(log.RecentTitles(0).isEmpty());
    EXPECT_EQ(log.LastLine(), lines[lines.size() - 2]);
    EXPECT_EQ(log.LastTitle(), u"Samstag"_s);
}

TEST_F(ActivityLogTest, LastLineReadersLookFromTheEnd) {
    const QString unit = u"Fr, 05.12.2025 09:00|25 Bericht"_s;
    const QString replan = u"Fr, 05.12.2025 10:00 --- NEU GEPLANT --- Grund: x"_s;
    log.setLines({QString(), u"Fr, 05.12.2025 09:00 Alt"_s, replan, QString()});
    EXPECT_EQ(log.LastLine(), replan);
    EXPECT_EQ(log.LastTitle(), u"Alt"_s);
    const QString table = QStringLiteral(TAKTPLAN_TEST_DATA_DIR "/records_activity_log.txt");
    for (const CaseRow& c : caseTable(table, u"open unit"_s)) {
        log.setLines(c.fields.mid(2));
        EXPECT_EQ(log.LastLineIsOpenUnit(c[0]), c[1] == u"yes"_s) << c.where.toStdString();
    }
    for (const CaseRow& c : caseTable(table, u"titles"_s))
        EXPECT_EQ(ActivityLog::extractTitle(c[0]), c[1]) << c.where.toStdString();
}

TEST_F(ActivityLogTest, WriteFailuresAreShownOnceUntilAWriteOrAReadOfItsOwnSucceeds) {
    const QString folder = QDir(data.path()).filePath(u"Netzlaufwerk"_s);
    settings.LogDateiPfad = QDir(folder).filePath(u"Dezuzedu.log"_s);
    log.setLines({QString(), u"Fr, 05.12.2025 08:00|25 Vorher [x]"_s});
    EXPECT_FALSE(log.WriteLogEntry(ActivityLog::targetLine(QDate(2025, 12, 5), 6)));
    EXPECT_EQ(ui.reminders, QStringList(reminderText(u"beschrieben"_s, logPath())));
    EXPECT_EQ(log.lines().size(), 2); // the reload of a missing file keeps the list, unreported

    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(writeUnit(8, u"Früh"_s));
    ASSERT_TRUE(log.WriteLogEntry(ActivityLog::finishMark()));
    if (const char* why = FileSizeLimit::unavailable())
        GTEST_SKIP() << "a full disk: " << why;
    const QByteArray before = logBytes();
    // Not a byte more, then room for part of each entry ("\r\nF", " [x"): a torn line would stay
    // for good, with the next entry joined to it.
    for (const qint64 room : {0, 3}) {
        const FileSizeLimit limit(before.size() + room);
        EXPECT_FALSE(writeUnit(9, u"Spät"_s)) << room;
        EXPECT_FALSE(log.WriteLogEntry(ActivityLog::finishMark())) << room;
        EXPECT_EQ(logBytes(), before) << room;
    }
    // Shown again after the success, but the reload after each failed write, which succeeds,
    // does not make the second failure news.
    EXPECT_EQ(ui.reminders.size(), 2);
    EXPECT_EQ(log.errorShownPath(), logPath());
    EXPECT_TRUE(log.LoadLog());
    EXPECT_TRUE(log.errorShownPath().isEmpty());
    EXPECT_EQ(log.lines(), QStringList({QString(), u"Fr, 05.12.2025 08:00|25 Früh [x]"_s}));
}

TEST_F(ActivityLogTest, UnreadableFileIsReportedOnceAndTheListStays) {
    // A folder, a named pipe (its reader would wait for a writer for good) and a link to a device
    // that never ends: none is opened, for reading or for writing.
    const QStringList special = makeSpecialFiles(data.path());
    ASSERT_TRUE(QDir(data.path()).mkdir(u"Dezuzedu.log"_s));
    for (const QString& path : QStringList{logPath()} + special) {
        SCOPED_TRACE(path.toStdString());
        settings.LogDateiPfad = path;
        ui.reminders.clear();
        ActivityLog reader{clock, settings, debugLog, ui};
        reader.setLines(everyKind());
        EXPECT_FALSE(reader.LoadLog());
        EXPECT_FALSE(reader.LoadLog());
        EXPECT_FALSE(reader.WriteLogEntry(ActivityLog::finishMark()));
        EXPECT_EQ(reader.lines(), everyKind());
        EXPECT_EQ(ui.reminders, QStringList(reminderText(u"geladen"_s, path)));
    }
    // A line past the bound (a file without line breaks in the log's place) is skipped, and never
    // held whole.
    settings.LogDateiPfad = data.filePath(u"lang.log"_s);
    data.write(u"lang.log"_s,
               "\r\n" + QByteArray(ActivityLog::maxLineBytes + 1, 'x') + "\r\nFr, 05.12.2025 SOLL: 3");
    EXPECT_TRUE(log.LoadLog());
    EXPECT_EQ(log.lines(), QStringList({QString(), u"Fr, 05.12.2025 SOLL: 3"_s}));
}

} // namespace
