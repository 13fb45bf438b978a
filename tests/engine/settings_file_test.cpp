#include "settings_file.h"

#include "data_folder.h"
#include "debug_log.h"
#include "engine_test_util.h"
#include "fake_clock.h"
#include "scripted_ui.h"
#include "temp_data_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>

namespace {

QByteArray golden(const char* name) {
    QFile f(QDir(QStringLiteral(TAKTPLAN_TEST_DATA_DIR)).filePath(QLatin1String(name)));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing golden file>");
}

// The keys in the order LoadSettings reads them (X and Y come first when the file exists).
const QStringList keyOrder = {
    QStringLiteral("Höhe"),
    QStringLiteral("Breite"),
    QStringLiteral("LogDateiPfad"),
    QStringLiteral("Feierabenddatei"),
    QStringLiteral("Mittagspausendatei"),
    QStringLiteral("BeginnDerNaechstenEinheitDatei"),
    QStringLiteral("Kleine Pause"),
    QStringLiteral("Grosse Pause"),
    QStringLiteral("StandardDauerEinheit"),
    QStringLiteral("DefaultSollWert"),
    QStringLiteral("NeuPlanenMax"),
    QStringLiteral("Schriftgroesse"),
    QStringLiteral("Autostart"),
    QStringLiteral("Verbleibend"),
    QStringLiteral("GrundVerlangen"),
    QStringLiteral("AnwesenheitErforderlich"),
    QStringLiteral("letztenPlanGestartetAm"),
    QStringLiteral("Sounds"),
    QStringLiteral("InPauseSperren"),
    QStringLiteral("InVordergrundDraengen"),
    QStringLiteral("NeuPlanenURL"),
    QStringLiteral("MorgenGeplantURL"),
    QStringLiteral("MorgenGeplantDatum"),
    QStringLiteral("HinweisAufgabenwechsel"),
    QStringLiteral("showPercentileRanking"),
    QStringLiteral("evaluateLastXDays"),
};

// Every field set away from its default, as in tests/data/settings_full.ini.
Settings fullRecord() {
    Settings s;
    s.X = -120;
    s.Y = 840;
    s.Hoehe = 600;
    s.Breite = 800;
    s.LogDateiPfad = QStringLiteral("/srv/logs/Arbeit.log");
    s.Feierabenddatei = QStringLiteral("/srv/share/Feierabend für alle.txt");
    s.Mittagspausendatei = QStringLiteral("/srv/share/mittag.txt");
    s.BeginnDerNaechstenEinheitDatei = QStringLiteral("/srv/share/naechste.txt");
    s.KleinePause = 7;
    s.GrossePause = 30;
    s.StandardDauerEinheit = 45;
    s.DefaultSollWert = 8;
    s.NeuPlanenMax = 3;
    s.Schriftgroesse = 12;
    s.Verbleibend = 2;
    s.Autostart = true;
    s.GrundVerlangen = true;
    s.AnwesenheitErforderlich = false;
    s.letztenPlanGestartetAm = QDate(2026, 12, 7);
    s.Sounds = false;
    s.InPauseSperren = true;
    s.InVordergrundDraengen = true;
    s.NeuPlanenURL = QStringLiteral("https://example.org/hook?a=1&b=2");
    s.MorgenGeplantURL = QStringLiteral("https://example.org/morgen?preis=5€");
    s.MorgenGeplantDatum = QDate(2026, 12, 4);
    s.HinweisAufgabenwechsel = true;
    s.showPercentileRanking = true;
    s.evaluateLastXDays = 30;
    s.LaufendeEinheitGestartetUm = 1796547600000;
    return s;
}

class SettingsFileTest : public ::testing::Test {
protected:
    TempDataFolder data;
    FakeClock clock{QDateTime(QDate(2026, 12, 7), QTime(9, 0))};
    DebugLog debugLog{clock};
    ScriptedUi ui;
    SettingsFile file{data.folder(), debugLog, ui};

    void writeIni(const QByteArray& bytes) { data.write(QStringLiteral("Settings.ini"), bytes); }
    Settings load() {
        Settings s;
        file.LoadSettings(s);
        return s;
    }
};

TEST_F(SettingsFileTest, MissingFileIsAFirstStartWithDefaultsAndOneDebugLinePerKey) {
    const DataFolder fresh(QDir(data.path()).filePath(QStringLiteral("neu/Taktplan")));
    SettingsFile first(fresh, debugLog, ui);
    Settings s;
    s.X = 77; // a record that was used before must not keep anything
    s.NeuPlanenURL = QStringLiteral("alt");
    first.LoadSettings(s);

    EXPECT_TRUE(first.firstStart());
    EXPECT_TRUE(fresh.exists());
    EXPECT_FALSE(QFile::exists(first.filePath())); // created by the first save, not by reading
    Settings expected;
    expected.Hoehe = 285;
    expected.Breite = 450;
    expected.LogDateiPfad = fresh.filePath(QStringLiteral("Dezuzedu.log"));
    EXPECT_EQ(s, expected);
    EXPECT_TRUE(ui.messages.isEmpty());

    QStringList lines;
    for (const QString& key : keyOrder)
        lines.append(
            QStringLiteral("Lade Wert \"%1\" aus INI-Datei.  Datei existiert nicht. Ergebnis: ").arg(key));
    EXPECT_EQ(debugMessages(debugLog), lines);
}

TEST_F(SettingsFileTest, ExistingFileReadsPositionFirstAndNotesTheAttempt) {
    writeIni("X=12\r\nY=-34\r\nStandardDauerEinheit=45\r\n");
    const Settings s = load();
    EXPECT_FALSE(file.firstStart());
    EXPECT_EQ(s.X, 12);
    EXPECT_EQ(s.Y, -34);
    // An existing file without a size leaves the size at 0; the window chooses its own.
    EXPECT_EQ(s.Hoehe, 0);
    EXPECT_EQ(s.Breite, 0);

    const QStringList messages = debugMessages(debugLog);
    ASSERT_EQ(messages.size(), keyOrder.size() + 2);
    EXPECT_EQ(messages[0], QStringLiteral("Lade Wert \"X\" aus INI-Datei.  (#1) Ergebnis: 12"));
    EXPECT_EQ(messages[1], QStringLiteral("Lade Wert \"Y\" aus INI-Datei.  (#1) Ergebnis: -34"));
    for (int i = 0; i < keyOrder.size(); ++i)
        EXPECT_TRUE(messages[i + 2].startsWith(QStringLiteral("Lade Wert \"%1\" ").arg(keyOrder[i]))) << i;
    EXPECT_EQ(messages[10],
              QStringLiteral("Lade Wert \"StandardDauerEinheit\" aus INI-Datei.  (#1) Ergebnis: 45"));
}

TEST_F(SettingsFileTest, ReadingRulesPerKey) {
    struct Case {
        const char* name;
        QByteArray ini;
        std::function<void(const Settings&)> check;
    };
    const Case cases[] = {
        {"last of two lines wins", "StandardDauerEinheit=30\r\nfoo\r\nStandardDauerEinheit=45\r\n",
         [](const Settings& s) { EXPECT_EQ(s.StandardDauerEinheit, 45); }},
        {"a value keeps every further '='", "NeuPlanenURL=https://x.org/t?a=1&b==2 \r\n",
         [](const Settings& s) { EXPECT_EQ(s.NeuPlanenURL, QStringLiteral("https://x.org/t?a=1&b==2 ")); }},
        {"a small pause of 0 keeps 5", "Kleine Pause=0\r\n",
         [](const Settings& s) { EXPECT_EQ(s.KleinePause, 5); }},
        {"a default target of 0 is taken", "DefaultSollWert=7\r\nDefaultSollWert=0\r\n",
         [](const Settings& s) { EXPECT_EQ(s.DefaultSollWert, 0); }},
        {"a blank before 0 leaves sounds on", "Sounds= 0\r\n",
         [](const Settings& s) { EXPECT_TRUE(s.Sounds); }},
        {"exactly 0 turns sounds off", "Sounds=0\r\n", [](const Settings& s) { EXPECT_FALSE(s.Sounds); }},
        {"exactly 0 turns presence off", "AnwesenheitErforderlich=0\r\n",
         [](const Settings& s) { EXPECT_FALSE(s.AnwesenheitErforderlich); }},
        {"only the exact 1 is on", "Autostart=1 \r\nInPauseSperren=ja\r\nGrundVerlangen=1\r\n",
         [](const Settings& s) {
             EXPECT_FALSE(s.Autostart);
             EXPECT_FALSE(s.InPauseSperren);
             EXPECT_TRUE(s.GrundVerlangen);
         }},
        {"an empty flag keeps its default", "InVordergrundDraengen=\r\nSounds=\r\n",
         [](const Settings& s) {
             EXPECT_FALSE(s.InVordergrundDraengen);
             EXPECT_TRUE(s.Sounds);
         }},
        {"a missing Verbleibend is the re-planning limit", "NeuPlanenMax=3\r\n",
         [](const Settings& s) {
             EXPECT_EQ(s.NeuPlanenMax, 3);
             EXPECT_EQ(s.Verbleibend, 3);
         }},
        {"Verbleibend read after the limit", "Verbleibend=1\r\nNeuPlanenMax=3\r\n",
         [](const Settings& s) { EXPECT_EQ(s.Verbleibend, 1); }},
        {"conversion errors leave the values",
         "X=links\r\nStandardDauerEinheit=25min\r\nNeuPlanenMax=drei\r\n"
         "Schriftgroesse=\r\nletztenPlanGestartetAm=31.02.2026\r\n"
         "MorgenGeplantDatum=morgen\r\nHöhe=gross\r\n",
         [](const Settings& s) {
             EXPECT_EQ(s.X, 0);
             EXPECT_EQ(s.StandardDauerEinheit, 25);
             EXPECT_EQ(s.NeuPlanenMax, -1);
             EXPECT_EQ(s.Schriftgroesse, 10);
             EXPECT_TRUE(s.letztenPlanGestartetAm.isNull());
             EXPECT_TRUE(s.MorgenGeplantDatum.isNull());
             EXPECT_EQ(s.Hoehe, 0);
         }},
        {"lengths of zero or less minutes are ignored",
         "Kleine Pause= 0\r\nGrosse Pause=-5\r\nevaluateLastXDays=-1\r\n",
         [](const Settings& s) {
             EXPECT_EQ(s.KleinePause, 5);
             EXPECT_EQ(s.GrossePause, 25);
             EXPECT_EQ(s.evaluateLastXDays, 100);
         }},
        {"blanks around a number are tolerated", "StandardDauerEinheit= 50 \r\nNeuPlanenMax=-2\r\n",
         [](const Settings& s) {
             EXPECT_EQ(s.StandardDauerEinheit, 50);
             EXPECT_EQ(s.NeuPlanenMax, -2);
         }},
        {"a commented-out key does not count", "Kleine Pause=6\r\n#Kleine Pause=9\r\n",
         [](const Settings& s) { EXPECT_EQ(s.KleinePause, 6); }},
        {"keys are case-sensitive", "standarddauereinheit=50\r\n",
         [](const Settings& s) { EXPECT_EQ(s.StandardDauerEinheit, 25); }},
        {"dates, with 30.12.1899 as none",
         "letztenPlanGestartetAm=7.1.2026\r\nMorgenGeplantDatum=30.12.1899\r\n",
         [](const Settings& s) {
             EXPECT_EQ(s.letztenPlanGestartetAm, QDate(2026, 1, 7));
             EXPECT_TRUE(s.MorgenGeplantDatum.isNull());
         }},
        {"a size of 0 is not taken, others are", "H\xF6he=0\r\nBreite=640\r\n",
         [](const Settings& s) {
             EXPECT_EQ(s.Hoehe, 0);
             EXPECT_EQ(s.Breite, 640);
         }},
        {"a file saved as UTF-8 by an editor",
         "H\xC3\xB6he=500\r\nFeierabenddatei=/tmp/M\xC3\xBC"
         "de.txt\n",
         [](const Settings& s) {
             EXPECT_EQ(s.Hoehe, 500);
             EXPECT_EQ(s.Feierabenddatei, QStringLiteral("/tmp/Müde.txt"));
         }},
        {"an empty text keeps the default", "Feierabenddatei=\r\nLogDateiPfad=\r\n",
         [this](const Settings& s) {
             EXPECT_TRUE(s.Feierabenddatei.isEmpty());
             EXPECT_EQ(s.LogDateiPfad, data.filePath(QStringLiteral("Dezuzedu.log")));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.ini);
        c.check(load());
        EXPECT_FALSE(file.firstStart());
    }
}

TEST_F(SettingsFileTest, ReadSettingValueReturnsTheRawText) {
    writeIni("#Kommentar\r\nX=1\r\nNeuPlanenURL= https://a?b=c \r\nY=2\r\n");
    EXPECT_EQ(file.ReadSettingValue(QStringLiteral("NeuPlanenURL")), QStringLiteral(" https://a?b=c "));
    EXPECT_EQ(file.ReadSettingValue(QStringLiteral("Fehlt")), QString());
    EXPECT_EQ(debugMessages(debugLog),
              QStringList({QStringLiteral(
                               "Lade Wert \"NeuPlanenURL\" aus INI-Datei.  (#1) Ergebnis:  https://a?b=c "),
                           QStringLiteral("Lade Wert \"Fehlt\" aus INI-Datei.  (#1) Ergebnis: ")}));
}

TEST_F(SettingsFileTest, KeysInsideOtherLinesDoNotCount) {
    // Values and comments that happen to contain "key=" leave that key alone; the last line
    // that starts with the key still wins.
    writeIni("Y=7\r\nNeuPlanenURL=https://a.example/?X=3&Y=5\r\n#Sounds=0 schaltet die Töne ab\r\n"
             "Kleine Pause=9\r\nMeine Kleine Pause=2\r\nSounds=1\r\n");
    const Settings s = load();
    EXPECT_EQ(s.Y, 7);
    EXPECT_EQ(s.X, 0);
    EXPECT_EQ(s.NeuPlanenURL, QStringLiteral("https://a.example/?X=3&Y=5"));
    EXPECT_TRUE(s.Sounds);
    EXPECT_EQ(s.KleinePause, 9);
}

TEST_F(SettingsFileTest, UnreadableFileCountsEveryKeyAsAbsent) {
    // A folder standing where the file should be: it exists but cannot be read, as root too.
    ASSERT_TRUE(QDir(data.path()).mkdir(QStringLiteral("Settings.ini")));
    const Settings s = load();
    EXPECT_FALSE(file.firstStart());
    Settings expected;
    expected.LogDateiPfad = data.filePath(QStringLiteral("Dezuzedu.log"));
    EXPECT_EQ(s, expected);
    const QStringList messages = debugMessages(debugLog);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(
        messages[0].startsWith(QStringLiteral("Lade Wert \"X\" aus INI-Datei.  Datei konnte nicht gelesen "
                                              "werden: ")))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].endsWith(QStringLiteral(" Ergebnis: ")));

    // Saving cannot replace a folder; it says so and leaves the folder alone.
    Settings record = s;
    EXPECT_FALSE(file.SaveSettings(record));
    EXPECT_TRUE(QFileInfo(file.filePath()).isDir());
    EXPECT_EQ(ui.messages.size(), 1);
}

TEST_F(SettingsFileTest, LogPathWithoutExtensionIsCorrected) {
    QDir(data.path()).mkpath(QStringLiteral("Protokolle"));
    const QString existing = QDir(data.path()).filePath(QStringLiteral("Protokolle"));
    const QString missing = QDir(data.path()).filePath(QStringLiteral("fehlt/nicht"));
    const QString fallback = data.filePath(QStringLiteral("Dezuzedu.log"));
    struct Case {
        QString value;
        QString shown; // "" when no message is expected
        QString result;
    };
    const Case cases[] = {
        {existing + QStringLiteral("/"), existing, existing + QStringLiteral("/Dezuzedu.log")},
        {existing + QStringLiteral("\\\\"), existing, existing + QStringLiteral("/Dezuzedu.log")},
        {existing, existing, existing + QStringLiteral("/Dezuzedu.log")},
        {missing + QStringLiteral("/"), missing, fallback},
        {QStringLiteral("/srv/log.dir/Arbeit"), QStringLiteral("/srv/log.dir/Arbeit"), fallback},
        {QStringLiteral("/srv/Arbeit.log"), QString(), QStringLiteral("/srv/Arbeit.log")},
        {QStringLiteral("C:\\Daten\\Arbeit.log"), QString(), QStringLiteral("C:\\Daten\\Arbeit.log")},
        {QStringLiteral("/home/u/.taktlog"), QString(), QStringLiteral("/home/u/.taktlog")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        ui.messages.clear();
        const qsizetype before = debugMessages(debugLog).size();
        writeIni((QStringLiteral("LogDateiPfad=") + c.value + QStringLiteral("\r\n")).toUtf8());
        const Settings s = load();
        EXPECT_EQ(s.LogDateiPfad, c.result);
        const QStringList messages = debugMessages(debugLog).mid(before);
        if (c.shown.isEmpty()) {
            EXPECT_TRUE(ui.messages.isEmpty());
            EXPECT_EQ(messages.filter(QStringLiteral("Invalider Pfad")).size(), 0);
        } else {
            EXPECT_EQ(ui.messages, QStringList(c.shown));
            // The correction comes right after the read of the path.
            const qsizetype read =
                messages.lastIndexOf(QStringLiteral("Lade Wert \"LogDateiPfad\" aus INI-Datei.  "
                                                    "(#1) Ergebnis: ") +
                                     c.value);
            ASSERT_GE(read, 0);
            EXPECT_EQ(messages.value(read + 1),
                      QStringLiteral("Invalider Pfad für Logdatei. Logdatei korrigiert zu: ") + c.result);
        }
    }
}

TEST_F(SettingsFileTest, DefaultsAreWrittenAsTheTemplate) {
    Settings s = load(); // first start
    ASSERT_TRUE(file.SaveSettings(s));
    QByteArray expected = golden("settings_defaults.ini");
    expected.replace("@DATA@", QFile::encodeName(data.path()));
    EXPECT_EQ(data.read(QStringLiteral("Settings.ini")), expected);
}

TEST_F(SettingsFileTest, EveryFieldIsWrittenAndReadBack) {
    Settings s = fullRecord();
    ASSERT_TRUE(file.SaveSettings(s));
    EXPECT_EQ(s, fullRecord());
    EXPECT_EQ(data.read(QStringLiteral("Settings.ini")), golden("settings_full.ini"));

    const Settings back = load();
    EXPECT_FALSE(file.firstStart());
    Settings expected = fullRecord();
    expected.LaufendeEinheitGestartetUm = 0; // written for outside readers, never read
    EXPECT_EQ(back, expected);
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(SettingsFileTest, SavingNormalisesFontSizeAndPercentileWindow) {
    struct Case {
        int font, days;
        int savedFont, savedDays;
    };
    const Case cases[] = {{-3, 0, 10, 100}, {0, -7, 10, 100}, {1, 1, 1, 1}, {14, 365, 14, 365}};
    for (const Case& c : cases) {
        Settings s;
        s.Schriftgroesse = c.font;
        s.evaluateLastXDays = c.days;
        ASSERT_TRUE(file.SaveSettings(s));
        EXPECT_EQ(s.Schriftgroesse, c.savedFont);
        EXPECT_EQ(s.evaluateLastXDays, c.savedDays);
        const QByteArray bytes = data.read(QStringLiteral("Settings.ini"));
        EXPECT_TRUE(bytes.contains("\r\nSchriftgroesse=" + QByteArray::number(c.savedFont) + "\r\n"));
        EXPECT_TRUE(bytes.endsWith("\r\nevaluateLastXDays=" + QByteArray::number(c.savedDays) + "\r\n"));
    }
}

TEST_F(SettingsFileTest, FailedSaveKeepsThePreviousFileAndTheRecord) {
    Settings s = fullRecord();
    ASSERT_TRUE(file.SaveSettings(s));
    const QByteArray before = data.read(QStringLiteral("Settings.ini"));

    // A file size limit below the size of the settings makes the write fail as a full disk would.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    Settings changed = s;
    changed.StandardDauerEinheit = 50;
    const bool saved = file.SaveSettings(changed);
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(saved);
    EXPECT_EQ(data.read(QStringLiteral("Settings.ini")), before);
    EXPECT_EQ(changed.StandardDauerEinheit, 50);
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList(QStringLiteral("Settings.ini")));
    const QStringList messages = debugMessages(debugLog);
    ASSERT_FALSE(messages.isEmpty());
    EXPECT_TRUE(messages.last().startsWith(QStringLiteral("Speichern der Einstellungen fehlgeschlagen: ") +
                                           file.filePath() + QStringLiteral(" | ")));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].contains(file.filePath()));
}

TEST_F(SettingsFileTest, DataFolderThatIsAFileCannotBeWrittenAndIsLeftAlone) {
    data.write(QStringLiteral("Taktplan"), "Notizen des Benutzers");
    const DataFolder blocked(data.filePath(QStringLiteral("Taktplan")));
    SettingsFile settingsFile(blocked, debugLog, ui);
    Settings s;
    settingsFile.LoadSettings(s);
    EXPECT_TRUE(settingsFile.firstStart());
    EXPECT_FALSE(settingsFile.SaveSettings(s));
    EXPECT_EQ(data.read(QStringLiteral("Taktplan")), QByteArray("Notizen des Benutzers"));
    EXPECT_TRUE(debugMessages(debugLog).last().startsWith(
        QStringLiteral("Speichern der Einstellungen fehlgeschlagen")));
}

TEST_F(SettingsFileTest, FileThatDisappearsBetweenRunsMeansAFirstStartAgain) {
    Settings s = fullRecord();
    ASSERT_TRUE(file.SaveSettings(s));
    load();
    EXPECT_FALSE(file.firstStart());
    ASSERT_TRUE(QFile::remove(file.filePath()));
    const Settings again = load();
    EXPECT_TRUE(file.firstStart());
    EXPECT_EQ(again.Hoehe, 285);
    EXPECT_EQ(again.StandardDauerEinheit, 25);
}

} // namespace
