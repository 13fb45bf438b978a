// The "Einstellungen" and "Hilfe" menus: each command's captions, dialogs and effects on the
// settings record, Settings.ini and the activity log.
#include "file_size_limit.h"
#include "settings_file.h"
#include "window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

class SettingsMenuTest : public WindowTest {
protected:
    QAction* item(const QString& name) const { return window->findChild<QAction*>(name); }
    // Opens "Einstellungen" as the user does, so its captions and check marks are refreshed.
    void openSettingsMenu() const { emit menu(u"Einstellungen"_s)->aboutToShow(); }
    QString caption(const QString& name) const {
        openSettingsMenu();
        return item(name)->text();
    }
    // What the next start would read from Settings.ini.
    Settings savedSettings() {
        Settings s;
        records.settingsFile.LoadSettings(s);
        return s;
    }
    QString logPath() const { return records.settings.LogDateiPfad; }
};

TEST_F(SettingsMenuTest, EachSettingsCommandChangesItsCaptionTheRecordAndSettingsIni) {
    using Kind = ScriptedUi::Kind;
    struct Case {
        const char* item;
        const char* typed; // nullptr: a check item, clicked
        const char* question;
        std::function<void(Settings&)> change; // none: nothing may change, nothing is saved
        const char* captionAfter;
        bool percentileBefore = false;
    };
    const auto set = [](auto field, auto value) {
        return std::function<void(Settings&)>([field, value](Settings& s) { s.*field = value; });
    };
    const Case cases[] = {
        {"mniDauerEinheit1", "40", "Dauer einer Einheit|Wie viel min soll eine Einheit dauern?|25",
         set(&Settings::StandardDauerEinheit, 40), "Dauer einer Einheit: 40 min"},
        {"mniDauerEinheit1", "0", nullptr, set(&Settings::StandardDauerEinheit, 1),
         "Dauer einer Einheit: 1 min"},
        {"mniDauerEinheit1", "1441", nullptr, {}, "Dauer einer Einheit: 25 min"},
        {"mniDauerEinheit1", "vierzig", nullptr, {}, "Dauer einer Einheit: 25 min"},
        {"mniDauerkleinePause1", " 7 ",
         "Länge einer kleinen Pause|Wie lange soll eine kleine Pause dauern?|5",
         set(&Settings::KleinePause, 7), "Standard-Dauer einer kleinen Pause: 7 min"},
        {"mniDauerkleinePause1", "-3", nullptr, set(&Settings::KleinePause, 1),
         "Standard-Dauer einer kleinen Pause: 1 min"},
        {"mniDauergroePause1", "1440", "Länge einer großen Pause|Wie lange soll eine große Pause dauern?|25",
         set(&Settings::GrossePause, 1440), "Standard-Dauer einer großen Pause: 1440 min"},
        {"mniDauergroePause1", "99999999999", nullptr, {}, "Standard-Dauer einer großen Pause: 25 min"},
        {"mniMaxNeuPlanen", "3", "Neu planen|Wie oft kann der Benutzer neu planen?\n(-1 für unbegrenzt)|-1",
         [](Settings& s) { s.NeuPlanenMax = s.Verbleibend = 3; },
         "Neu planen 3 mal zulässig (3 verbleibend)"},
        {"mniMaxNeuPlanen", "-1", nullptr, [](Settings& s) { s.NeuPlanenMax = s.Verbleibend = -1; },
         "Neu planen unbegrenzt oft zulässig"},
        {"mniMaxNeuPlanen", "-2", nullptr, {}, "Neu planen unbegrenzt oft zulässig"},
        {"mniAnwesenheitErforderlich1", nullptr, nullptr, set(&Settings::AnwesenheitErforderlich, false),
         nullptr},
        {"mniSounds1", nullptr, nullptr, set(&Settings::Sounds, false), nullptr},
        {"mniInPauseSperren1", nullptr, nullptr, set(&Settings::InPauseSperren, true), nullptr},
        {"mniPerzentilerRang1", nullptr, nullptr, set(&Settings::showPercentileRanking, true), nullptr},
        {"mniPerzentilerRang1", nullptr, nullptr, set(&Settings::showPercentileRanking, false), nullptr,
         true},
        {"mniIndenVordergrundschiebenbisNeuGeplant1", nullptr, nullptr,
         set(&Settings::InVordergrundDraengen, true), nullptr},
    };
    Settings before;
    before.Hoehe = 285;
    before.Breite = 450;
    before.LogDateiPfad = data.filePath(u"Dezuzedu.log"_s);
    const auto startOf = [&before](const Case& c) {
        Settings s = before;
        s.showPercentileRanking = c.percentileBefore;
        return s;
    };
    const auto expectedOf = [&startOf](const Case& c) {
        Settings s = startOf(c);
        if (c.change)
            c.change(s);
        return s;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + (c.typed ? c.typed : "(clicked)"));
        QFile::remove(records.settingsFile.filePath());
        records.settings = startOf(c);
        int percentileUpdates = 0;
        adjustServices = {};
        open();
        window->setPercentileUpdate([&] { ++percentileUpdates; });
        openSettingsMenu();
        QAction* a = item(QString::fromLatin1(c.item));
        ASSERT_TRUE(a);
        const bool checkedBefore = a->isChecked();
        if (c.typed)
            ui.answer(Kind::Text, QString::fromUtf8(c.typed));
        timer(u"tmrFocusLock"_s)->stop();
        a->trigger();
        EXPECT_EQ(timer(u"tmrFocusLock"_s)->isActive(), expectedOf(c).InVordergrundDraengen);

        const Settings expected = expectedOf(c);
        EXPECT_EQ(records.settings, expected);
        if (c.question) {
            EXPECT_EQ(ui.questions.value(0), QString::fromUtf8(c.question));
        }
        ui.questions.clear();
        if (c.change) {
            EXPECT_EQ(savedSettings(), expected);
        } else {
            EXPECT_FALSE(QFile::exists(records.settingsFile.filePath()));
        }
        if (c.captionAfter) {
            EXPECT_EQ(caption(QString::fromLatin1(c.item)), QString::fromUtf8(c.captionAfter));
        }
        if (!c.typed) {
            EXPECT_EQ(a->isChecked(), !checkedBefore);
        }
        // The rank is computed when switched on, and the caption follows at once either way.
        const bool percentileOn = expected.showPercentileRanking;
        EXPECT_EQ(percentileUpdates, percentileOn && !c.percentileBefore ? 1 : 0);
        EXPECT_EQ(window->windowTitle().contains(u" - #"_s), percentileOn);
    }
}

TEST_F(SettingsMenuTest, NewUnitLengthReachesOnlyUnitsStillToDo) {
    open();
    addFixed(u"fest"_s, QTime(11, 0));
    addFixed(u"fertig"_s, QTime(8, 0), "x");
    addFixed(u"läuft"_s, QTime(8, 50), "WIP");
    plan->AddEntry(u"relativ"_s, false, plantime::wall(clock.today(), QTime(0, 0)), 25, false, u" "_s);
    plan->AddEntry(u"Pause"_s, true, plantime::wall(clock.today(), QTime(0, 0)), 25, false, u" "_s);
    ui.answer(ScriptedUi::Kind::Text, u"50"_s);
    item(u"mniDauerEinheit1"_s)->trigger();
    QStringList durations;
    for (const PlanEntry& e : entries())
        durations.append(e.displayText.section(u' ', 0, 0) + u'=' + e.duration);
    durations.sort();
    EXPECT_EQ(durations.join(u' '), u"Pause:=25 fertig=25 fest=50 läuft=25 relativ=50"_s);
    // A fixed unit shows the end of its new length at once.
    for (const PlanEntry& e : entries()) {
        if (e.displayText == u"fest"_s) {
            EXPECT_EQ(e.endTime, u"11:50"_s);
        }
    }
}

TEST_F(SettingsMenuTest, MovingTheLogNeverLosesIt) {
    const QByteArray history = "\r\nMo, 07.12.2026 08:00|25 Bericht [x]";
    const QByteArray other = "\r\nDi, 01.12.2026 08:00|25 Alt [x]";
    data.write(u"blockiert"_s, "eine Datei, kein Ordner");
    QDir(data.path()).mkpath(u"ziel/ordner.log"_s);
    QDir(data.path()).mkpath(u"ziel"_s);
    struct Case {
        const char* name;
        QString target;
        QByteArray targetBefore; // empty: no file there
        bool moves;              // the log path switches to the target
        QByteArray targetAfter;
        bool oldStays;
        int sizeLimit = 0;            // bytes a file may grow to, 0: no limit
        bool settingsBlocked = false; // Settings.ini cannot be written
        bool held = false;            // another program keeps the log open
    };
    const Case cases[] = {
        {"to a new file", data.filePath(u"ziel/log.txt"_s), {}, true, history, false},
        {"while another program holds it open",
         data.filePath(u"ziel/offen.log"_s),
         {},
         true,
         history,
         false,
         0,
         false,
         true},
        {"onto an existing log", data.filePath(u"ziel/vorhanden.log"_s), other, true, other, true},
        {"into a folder that cannot be written", data.filePath(u"blockiert/log.txt"_s), {}, false, {}, true},
        {"onto a folder", data.filePath(u"ziel/ordner.log"_s), {}, false, {}, true},
        {"into a folder that does not exist", data.filePath(u"fehlt/log.txt"_s), {}, false, {}, true},
        {"with the disk full halfway", data.filePath(u"ziel/voll.txt"_s), {}, false, {}, true, 10},
        // The next start would look for the log where the settings still say it is.
        {"when the settings cannot be saved", data.filePath(u"ziel/log.txt"_s), {}, false, {}, true, 0, true},
        // Files the program writes over on every save would take the log with them.
        {"onto the settings file", data.filePath(u"ziel/../Settings.ini"_s), {}, false, {}, true},
        {"onto the plan file", data.filePath(u"worklist.log"_s), "Eins///25\r\n", false, "Eins///25\r\n",
         true},
        {"onto the debug log", data.filePath(u"debug_log.txt"_s), {}, false, {}, true},
        {"onto the plan file's backup", data.filePath(u"worklist.log.bak"_s), {}, false, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString oldPath = data.filePath(u"Dezuzedu.log"_s);
        records.settings.LogDateiPfad = oldPath;
        data.write(u"Dezuzedu.log"_s, history);
        QFile held(oldPath);
        ASSERT_TRUE(!c.held || held.open(QIODevice::ReadWrite | QIODevice::Append));
        if (!c.targetBefore.isEmpty()) {
            QFile f(c.target);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.targetBefore);
        }
        QFile::remove(records.settingsFile.filePath());
        if (c.settingsBlocked)
            QDir().mkpath(records.settingsFile.filePath());
        ui.messages.clear();
        open();
        ui.answer(ScriptedUi::Kind::SaveFile, c.target);
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (c.sizeLimit)
                limit = std::make_unique<FileSizeLimit>(c.sizeLimit);
            item(u"mniLogDateiSpeichernUnter1"_s)->trigger();
        }
        EXPECT_EQ(ui.questions.value(0),
                  u"Log-Datei speichern unter|Textdateien und Logdateien (*.txt *.log)|"_s + oldPath);
        ui.questions.clear();
        EXPECT_EQ(logPath(), c.moves ? c.target : oldPath);
        EXPECT_EQ(QFile::exists(oldPath), c.oldStays);
        if (c.oldStays) {
            EXPECT_EQ(data.read(u"Dezuzedu.log"_s), history);
        }
        QFile target(c.target);
        if (c.targetAfter.isEmpty()) {
            EXPECT_FALSE(target.exists() && QFileInfo(c.target).isFile());
        } else {
            ASSERT_TRUE(target.open(QIODevice::ReadOnly));
            EXPECT_EQ(target.readAll(), c.targetAfter);
        }
        // A failed move tells the user (and so does the failed save) and leaves the settings alone.
        EXPECT_EQ(ui.messages.size(), c.moves ? 0 : (c.settingsBlocked ? 2 : 1));
        if (c.moves) {
            EXPECT_EQ(savedSettings().LogDateiPfad, c.target);
            // The next entry goes to the new place.
            const QString next = u"\r\nMo, 07.12.2026 09:00|25 Weiter"_s;
            ASSERT_TRUE(records.activityLog.WriteLogEntry(next));
            target.close();
            ASSERT_TRUE(target.open(QIODevice::ReadOnly));
            EXPECT_EQ(target.readAll(), c.targetAfter + next.toUtf8());
        } else {
            EXPECT_EQ(QFile::exists(records.settingsFile.filePath()), c.settingsBlocked);
        }
        QFile::remove(c.target);
        QDir().rmdir(records.settingsFile.filePath());
    }
}

TEST_F(SettingsMenuTest, FolderAndSettingsFileCommands) {
    int settingsCommands = 0;
    adjustServices = [&](WorklistServices& s) { s.settingsCommand = [&] { ++settingsCommands; }; };
    open();
    item(u"mniTaktplanVerzeichnisOeffnen1"_s)->trigger();
    EXPECT_EQ(shell.files, QStringList(data.folder().path() + u'/'));
    // The editor must find a file to open, also before the first save.
    ASSERT_FALSE(QFile::exists(records.settingsFile.filePath()));
    item(u"mniIniDateiOeffnen1"_s)->trigger();
    EXPECT_TRUE(QFile::exists(records.settingsFile.filePath()));
    EXPECT_EQ(settingsCommands, 1);
    // A settings file that cannot be written: the program neither opens an editor nor ends.
    QFile::remove(records.settingsFile.filePath());
    QDir().mkpath(records.settingsFile.filePath());
    item(u"mniIniDateiOeffnen1"_s)->trigger();
    EXPECT_EQ(settingsCommands, 1);
    EXPECT_EQ(ui.messages.size(), 1);
    QDir().rmdir(records.settingsFile.filePath());
}

TEST_F(SettingsMenuTest, HelpItemsLeadToTheInstalledGuideOrAConfiguredAddress) {
    const QString programFolder = QStringLiteral(TAKTPLAN_PROGRAM_DIR);
    struct Case {
        const char* item;
        const char* language;
        const char* environment; // "VARIABLE=value" or nullptr
        QString expected;        // an address; a guide section is "guide:<anchor>"
    };
    const Case cases[] = {
        {"mniDokumentation1", "de", nullptr, u"guide:"_s},
        {"mniDokumentation1", "en", nullptr, u"guide:"_s},
        {"mniVerwascheneDarstellung1", "de", nullptr, u"guide:hidpi"_s},
        {"mniVirtuelleDesktops1", "en", nullptr, u"guide:desktops"_s},
        {"mniInformationenzuPercentileRanking1", "de", nullptr, u"guide:perzentil"_s},
        {"mniAufUpdatesPruefen1", "en", nullptr, u"guide:kontakt"_s},
        {"mniAufUpdatesPruefen1", "de", "TAKTPLAN_HOME_URL=https://taktplan.example/",
         u"https://taktplan.example/"_s},
        {"mniWeitereProjekte1", "de", nullptr, u"guide:kontakt"_s},
        {"mniWeitereProjekte1", "en", "TAKTPLAN_PROJECTS_URL=https://projekte.example/",
         u"https://projekte.example/"_s},
        {"mniEMailSenden1", "en", nullptr, u"guide:kontakt"_s},
        {"mniEMailSenden1", "de", "TAKTPLAN_CONTACT_MAIL=hilfe@taktplan.example",
         u"mailto:hilfe@taktplan.example?subject=Taktplan%202.2&body=Hallo,%0A%0A"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.item) + " " + c.language);
        QByteArray variable;
        if (c.environment) {
            const QList<QByteArray> parts = QByteArray(c.environment).split('=');
            variable = parts.at(0);
            qputenv(variable.constData(), QByteArray(c.environment).mid(variable.size() + 1));
        }
        adjustServices = [&](WorklistServices& s) {
            s.programFolder = programFolder;
            s.interfaceLanguage = QString::fromLatin1(c.language);
        };
        shell.addresses.clear();
        shell.files.clear();
        open();
        item(QString::fromLatin1(c.item))->trigger();
        if (!variable.isEmpty())
            qunsetenv(variable.constData());
        if (!c.expected.startsWith(u"guide:"_s)) {
            EXPECT_EQ(shell.addresses, QStringList(c.expected));
            EXPECT_TRUE(shell.files.isEmpty());
            continue;
        }
        // The guide in the interface's language, built and in place; a section through a page of
        // its own that leads to the section, which is there.
        ASSERT_EQ(shell.files.size(), 1);
        EXPECT_TRUE(shell.addresses.isEmpty());
        const QString language = QString::fromLatin1(c.language);
        const QString anchor = c.expected.mid(6);
        const QString guidePath = programFolder + u"/doc/taktplan-"_s + language + u".html"_s;
        QFile guide(guidePath);
        ASSERT_TRUE(guide.open(QIODevice::ReadOnly)) << guidePath.toStdString();
        const QByteArray page = guide.readAll();
        EXPECT_TRUE(page.contains("<html lang=\"" + language.toLatin1() + "\">"));
        if (anchor.isEmpty()) {
            EXPECT_EQ(shell.files.constFirst(), guidePath);
            continue;
        }
        EXPECT_EQ(shell.files.constFirst(),
                  programFolder + u"/doc/taktplan-"_s + language + u'-' + anchor + u".html"_s);
        QFile sectionPage(shell.files.constFirst());
        ASSERT_TRUE(sectionPage.open(QIODevice::ReadOnly));
        EXPECT_TRUE(sectionPage.readAll().contains("url=taktplan-" + language.toLatin1() + ".html#" +
                                                   anchor.toLatin1() + "\""));
        EXPECT_TRUE(page.contains("id=\"" + anchor.toLatin1() + "\""))
            << "no section " << anchor.toStdString();
    }

    // The companion program, when there, answers the update question itself.
    launcher.present.insert(QString::fromLatin1(CompanionProgram::fileName));
    shell.addresses.clear();
    item(u"mniAufUpdatesPruefen1"_s)->trigger();
    EXPECT_TRUE(shell.addresses.isEmpty());
    EXPECT_EQ(launcher.starts.constLast().arguments, (QStringList{u"2.2"_s, u"notify"_s}));

    shell.files.clear();
    item(u"mniLizenzen1"_s)->trigger();
    ASSERT_EQ(shell.files.size(), 1);
    EXPECT_TRUE(QFileInfo(shell.files.constFirst()).isFile()) << shell.files.constFirst().toStdString();

    // F1 as a key; an installation without its doc/ folder says what is missing instead.
    const TempDataFolder bare;
    adjustServices = [&](WorklistServices& s) { s.programFolder = bare.path(); };
    open();
    shell.files.clear();
    key(Qt::Key_F1);
    item(u"mniLizenzen1"_s)->trigger();
    EXPECT_TRUE(shell.files.isEmpty());
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_TRUE(ui.messages.at(0).endsWith(bare.path() + u"/doc/taktplan-en.html"_s))
        << ui.messages.at(0).toStdString();
    EXPECT_TRUE(ui.messages.at(1).endsWith(u"/doc/LICENCES.txt"_s));
}

TEST_F(SettingsMenuTest, HandSetFontSizeStillShowsThePlan) {
    // Settings.ini edited by hand: rows taller than the window would hide the plan, and a font of
    // billions of points paints no text at all.
    for (const int points : {500, 2000000000}) {
        records.settings.Schriftgroesse = points;
        open();
        addFixed(u"Eins"_s, QTime(11, 0));
        EXPECT_GT(list()->font().pointSize(), 10) << points;
        EXPECT_GT(QFontMetrics(list()->font()).horizontalAdvance(u"Eins"_s), 0) << points;
        EXPECT_LT(list()->rowHeight(0), list()->viewport()->height()) << points;
    }
}

TEST_F(SettingsMenuTest, PlanIsNeverSavedOverTheLogOrTheSettings) {
    const QByteArray history = "\r\nMo, 07.12.2026 08:00|25 Bericht [x]";
    data.write(u"Dezuzedu.log"_s, history);
    records.settings.LogDateiPfad = data.filePath(u"Dezuzedu.log"_s);
    ASSERT_TRUE(records.saveSettings());
    const QByteArray settings = data.read(u"Settings.ini"_s);
    QDir(data.path()).mkpath(u"ziel"_s);
    open();
    enter(u"Plan"_s);
    for (const QString& target :
         {data.filePath(u"Dezuzedu.log"_s), data.filePath(u"ziel/../Settings.ini"_s)}) {
        ui.answer(ScriptedUi::Kind::SaveFile, target);
        key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    }
    // The log opened as a plan: "Speichern" does not write it back either.
    ui.answer(ScriptedUi::Kind::OpenFile, data.filePath(u"Dezuzedu.log"_s));
    key(Qt::Key_O, Qt::ControlModifier);
    key(Qt::Key_Escape);
    key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(data.read(u"Dezuzedu.log"_s), history);
    EXPECT_EQ(data.read(u"Settings.ini"_s), settings);
    EXPECT_EQ(ui.messages.filter(u"Log oder die Einstellungen"_s).size(), 2)
        << ui.messages.join(u"\n---\n"_s).toStdString();
}

TEST_F(SettingsMenuTest, PlanOfThousandsOfBadLinesIsToldInAMessageThatFitsTheScreen) {
    QByteArray bad;
    for (int i = 0; i < 3000; ++i)
        bad += "Eins " + QByteArray::number(i) + "///25|||99:99" + QByteArray(500, 'x') + "\r\n";
    data.write(u"kaputt.txt"_s, bad + "Gut///25\r\n");
    open();
    ui.answer(ScriptedUi::Kind::OpenFile, data.filePath(u"kaputt.txt"_s));
    key(Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(ui.messages.size(), 1);
    const QString& text = ui.messages.constFirst();
    // A few lines, none wider than a screen, the count of the rest, and where the file was kept.
    EXPECT_LE(text.count(u'\n'), 30) << text.toStdString();
    for (const QString& line : text.split(u'\n'))
        EXPECT_LE(line.size(), 200);
    EXPECT_TRUE(text.contains(u"2980"_s));
    EXPECT_TRUE(text.endsWith(PlanFile::backupPath(data.filePath(u"kaputt.txt"_s))));
    EXPECT_EQ(shown(), u"1|09:00|09:25|Gut"_s);
}

} // namespace
