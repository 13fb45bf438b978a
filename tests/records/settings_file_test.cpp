#include "settings_file.h"

#include "data_folder.h"
#include "debug_log.h"
#include "extra_settings.h"
#include "fake_clock.h"
#include "file_size_limit.h"
#include "scripted_ui.h"
#include "special_files.h"
#include "temp_data_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

// Designated initializers name only what differs from the defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

QByteArray golden(const char* name, const QString& dataFolder = QString()) {
    return goldenBytes(QStringLiteral(TAKTPLAN_TEST_DATA_DIR "/") + QLatin1String(name), dataFolder);
}

class SettingsFileTest : public ::testing::Test {
protected:
    TempDataFolder data;
    FakeClock clock;
    DebugLog debugLog{clock};
    ScriptedUi ui;
    SettingsFile file{data.folder(), debugLog, ui};

    void writeIni(const QByteArray& bytes) { data.write(u"Settings.ini"_s, bytes); }
    QByteArray ini() const { return data.read(u"Settings.ini"_s); }
    Settings load() {
        Settings s;
        file.LoadSettings(s);
        return s;
    }
};

TEST_F(SettingsFileTest, MissingFileIsAFirstStartWithDefaults) {
    const DataFolder fresh(QDir(data.path()).filePath(u"neu/Taktplan"_s));
    SettingsFile first(fresh, debugLog, ui);
    Settings s{.X = 77, .NeuPlanenURL = u"alt"_s}; // nothing of a used record may stay
    first.LoadSettings(s);

    EXPECT_TRUE(first.firstStart());
    EXPECT_TRUE(fresh.exists());
    EXPECT_FALSE(QFile::exists(first.filePath())); // created by the first save, not by reading
    EXPECT_EQ(s, (Settings{.Hoehe = 285, .Breite = 450, .LogDateiPfad = fresh.filePath(u"Dezuzedu.log"_s)}));
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(SettingsFileTest, ReadingRules) {
    struct Case {
        const char* name;
        QByteArray ini;
        Settings expected; // LogDateiPfad left empty stands for the default path
    };
    const Case cases[] = {
        {"an existing file without a size lets the window choose its own; blanks stay in a text",
         "X=12\r\nY=-34\r\nNeuPlanenURL= https://a?b=c \r\n",
         {.X = 12, .Y = -34, .NeuPlanenURL = u" https://a?b=c "_s}},
        {"the key opens its line, the last one wins, a value keeps every '=', Windows-1252 key",
         "StandardDauerEinheit=30\r\nH\xF6he=300\r\nStandardDauerEinheit=45\r\n"
         "NeuPlanenURL=https://a.example/?X=3&b==2 \r\n#Sounds=0 schaltet ab\r\n"
         "Kleine Pause=9\r\nMeine Kleine Pause=2\r\nkleine pause=3\r\n",
         {.Hoehe = 300,
          .KleinePause = 9,
          .StandardDauerEinheit = 45,
          .NeuPlanenURL = u"https://a.example/?X=3&b==2 "_s}},
        {"\"0\" and \" 0\"",
         "Kleine Pause=0\r\nGrosse Pause= 0\r\nSounds= 0\r\nAnwesenheitErforderlich=0\r\n",
         {.AnwesenheitErforderlich = false}},
        {"flags take only the exact 1 or 0, 30.12.1899 is no date, Verbleibend read after the limit",
         "Autostart=1 \r\nInPauseSperren=ja\r\nGrundVerlangen=1\r\nSounds=0\r\nVerbleibend=1\r\n"
         "letztenPlanGestartetAm=7.1.2026\r\nMorgenGeplantDatum=30.12.1899\r\nNeuPlanenMax=3\r\n",
         {.NeuPlanenMax = 3,
          .Verbleibend = 1,
          .GrundVerlangen = true,
          .letztenPlanGestartetAm = QDate(2026, 1, 7),
          .Sounds = false}},
        {"a missing Verbleibend is the re-planning limit",
         "NeuPlanenMax=3\r\n",
         {.NeuPlanenMax = 3, .Verbleibend = 3}},
        {"conversion errors and lengths below 1 leave the value, blanks around a number do not",
         "StandardDauerEinheit=30min\r\nNeuPlanenMax=drei\r\nGrosse Pause=-5\r\nevaluateLastXDays=-2\r\n"
         "letztenPlanGestartetAm=31.02.2026\r\nMorgenGeplantDatum=morgen\r\n"
         "Kleine Pause= 7 \r\nDefaultSollWert=-2\r\n",
         {.KleinePause = 7, .DefaultSollWert = -2}},
        {"a file saved as UTF-8 by an editor; an empty text keeps its default",
         "H\xC3\xB6he=500\r\nFeierabenddatei=/tmp/M\xC3\xBC"
         "de.txt\nLogDateiPfad=\n",
         {.Hoehe = 500, .Feierabenddatei = u"/tmp/Müde.txt"_s}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeIni(c.ini);
        Settings expected = c.expected;
        if (expected.LogDateiPfad.isEmpty())
            expected.LogDateiPfad = file.defaultLogPath();
        EXPECT_EQ(load(), expected);
        EXPECT_FALSE(file.firstStart());
    }
    EXPECT_TRUE(ui.messages.isEmpty());
}

TEST_F(SettingsFileTest, UnreadableFileCountsEveryKeyAsAbsentAndIsNotReplaced) {
    // A folder standing where the file should be: it exists but cannot be read, as root too.
    ASSERT_TRUE(QDir(data.path()).mkdir(u"Settings.ini"_s));
    Settings s = load();
    EXPECT_FALSE(file.firstStart());
    EXPECT_EQ(s, Settings{.LogDateiPfad = file.defaultLogPath()});

    EXPECT_FALSE(file.SaveSettings(s));
    EXPECT_TRUE(QFileInfo(file.filePath()).isDir());
    EXPECT_EQ(ui.messages.size(), 1);

    // A file standing where the data folder should be is left alone just as well.
    data.write(u"Taktplan"_s, "Notizen des Benutzers");
    const DataFolder folderIsAFile(data.filePath(u"Taktplan"_s));
    SettingsFile blocked(folderIsAFile, debugLog, ui);
    blocked.LoadSettings(s);
    EXPECT_TRUE(blocked.firstStart());
    EXPECT_FALSE(blocked.SaveSettings(s));
    EXPECT_EQ(data.read(u"Taktplan"_s), QByteArray("Notizen des Benutzers"));
}

TEST_F(SettingsFileTest, LogPathThatNamesNoPlainFileIsCorrected) {
    // The user is shown the folder the path names. A path with an extension is taken as it is:
    // the other tests expect no message.
    QDir(data.path()).mkpath(u"Protokolle"_s);
    QDir(data.path()).mkpath(u".config"_s);
    const QString existing = QDir(data.path()).filePath(u"Protokolle"_s);
    const QString missing = QDir(data.path()).filePath(u"fehlt/nicht"_s);
    const QString log = u"/Dezuzedu.log"_s;
    // Neither a folder with a full stop in its name, nor a pipe, nor a device holds the log.
    const auto refused = [&](const QString& path) {
        return u"Der Pfad der Logdatei führt nicht zu einer gewöhnlichen Datei, sondern zu einem Ordner, "
               u"einer Pipe oder einem Gerät:\n"_s +
               path + u"\n\nStattdessen wird diese Logdatei verwendet:\n"_s + file.defaultLogPath();
    };
    std::vector<std::array<QString, 3>> cases = {
        {existing + u"/"_s, existing, existing + log},
        {missing + u"/"_s, missing, file.defaultLogPath()},
        {u"C:\\Daten.alt\\Arbeit"_s, u"C:\\Daten.alt\\Arbeit"_s, file.defaultLogPath()},
    };
    for (const QString& refusedPath :
         makeSpecialFiles(data.path()) + QStringList{data.filePath(u".config"_s), u"."_s})
        cases.push_back({refusedPath, refused(refusedPath), file.defaultLogPath()});
    for (const auto& [value, shown, result] : cases) {
        SCOPED_TRACE(value.toStdString());
        ui.messages.clear();
        writeIni((u"LogDateiPfad="_s + value + u"\r\n"_s).toUtf8());
        EXPECT_EQ(load().LogDateiPfad, result);
        EXPECT_EQ(ui.messages, QStringList(shown));
    }
}

TEST_F(SettingsFileTest, EvaluationWindowIsWrittenAsAWindowOrTheWholeLog) {
    const int cases[][2] = {{-1, -1}, {0, 100}, {-7, 100}, {30, 30}};
    for (const auto& [inRecord, written] : cases) {
        SCOPED_TRACE(inRecord);
        Settings s{.evaluateLastXDays = inRecord};
        ASSERT_TRUE(file.SaveSettings(s));
        EXPECT_EQ(s.evaluateLastXDays, written);
        EXPECT_EQ(load().evaluateLastXDays, written);
    }
}

TEST_F(SettingsFileTest, DefaultsAreWrittenAsTheTemplateAfterNormalising) {
    Settings s = load(); // first start
    s.Schriftgroesse = 0;
    ASSERT_TRUE(file.SaveSettings(s));
    EXPECT_EQ(s.Schriftgroesse, 10);
    EXPECT_EQ(ini(), golden("settings_defaults.ini", data.path()));
}

TEST_F(SettingsFileTest, EveryFieldIsReadAndWrittenBackUntilTheFileDisappears) {
    // Every value in the file differs from its default: one that is not read or not written
    // back changes the bytes.
    writeIni(golden("settings_full.ini"));
    Settings s = load();
    EXPECT_FALSE(file.firstStart());
    EXPECT_EQ(s.LaufendeEinheitGestartetUm, 0); // written for outside readers, never read
    EXPECT_EQ(s.MorgenGeplantURL, u"https://example.org/morgen?preis=5€"_s);
    s.LaufendeEinheitGestartetUm = 1796547600000;
    const Settings loaded = s;
    ASSERT_TRUE(file.SaveSettings(s));
    EXPECT_EQ(s, loaded);
    EXPECT_EQ(ini(), golden("settings_full.ini"));
    EXPECT_TRUE(ui.messages.isEmpty());

    ASSERT_TRUE(QFile::remove(file.filePath())); // gone between two runs: a first start again
    EXPECT_EQ(load().Hoehe, 285);
    EXPECT_TRUE(file.firstStart());
}

TEST_F(SettingsFileTest, TextValuesReadBackAsTheyWereOrOnOneLine) {
    const struct {
        QString written, readBack;
    } cases[] = {
        // Windows-1252 bytes that would pass for UTF-8.
        {u"https://example.org/?h=Maß²"_s, u"https://example.org/?h=Maß²"_s},
        // A break must not end the value early and smuggle in keys of its own (the last line of a
        // key counts, and these two stand above the addresses in the file).
        {u"https://a.example\r\nKleine Pause=1\nStandardDauerEinheit=99"_s,
         u"https://a.example  Kleine Pause=1 StandardDauerEinheit=99"_s},
    };
    for (const auto& c : cases) {
        Settings s = load();
        s.NeuPlanenURL = s.MorgenGeplantURL = c.written;
        ASSERT_TRUE(file.SaveSettings(s));
        s.NeuPlanenURL = s.MorgenGeplantURL = c.readBack;
        EXPECT_EQ(load(), s);
    }
}

TEST_F(SettingsFileTest, FailedSaveKeepsThePreviousFileAndTheRecord) {
    if (const char* why = FileSizeLimit::unavailable())
        GTEST_SKIP() << why;
    writeIni(golden("settings_full.ini"));
    Settings s = load();
    const QByteArray before = ini();
    s.StandardDauerEinheit = 50;
    bool saved = true;
    {
        const FileSizeLimit limit(1000); // below the size of the settings
        saved = file.SaveSettings(s);
    }
    EXPECT_FALSE(saved);
    EXPECT_EQ(ini(), before);
    EXPECT_EQ(s.StandardDauerEinheit, 50);
    EXPECT_EQ(QDir(data.path()).entryList(QDir::Files), QStringList(u"Settings.ini"_s));
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages[0].contains(file.filePath()));
}

// The extras file beside Settings.ini: defaults when missing, a bad value keeps its default, and
// keys this version does not know survive a save (a newer version's settings).
TEST_F(SettingsFileTest, ExtrasReadTheirFlagsAndKeepUnknownKeys) {
    ExtraSettingsFile extrasFile(data.folder(), debugLog);
    ExtraSettings extras;
    extras.trayIcon = false;
    extrasFile.load(extras);
    EXPECT_TRUE(extras.trayIcon);
    EXPECT_FALSE(extras.notifications);

    data.write(u"Taktplan-extras.ini"_s,
               "trayicon = 0\r\nNotifications=ja\r\nStripPlaced=1\r\nZukunft=7\r\n");
    extrasFile.load(extras);
    EXPECT_FALSE(extras.trayIcon);
    EXPECT_FALSE(extras.notifications);
    EXPECT_TRUE(extras.stripPlaced);

    extras.notifications = true;
    ASSERT_TRUE(extrasFile.save(extras));
    EXPECT_EQ(data.read(u"Taktplan-extras.ini"_s),
              "TrayIcon=0\r\nNotifications=1\r\nGlobalShortcuts=1\r\nTargetAtFirstStart=1\r\nStripPlaced="
              "1\r\nZukunft=7\r\n");
    ExtraSettings again;
    extrasFile.load(again);
    EXPECT_TRUE(again.notifications);
}

} // namespace
