// The "Einstellungen" and "Hilfe" menus: each command's dialogs and effects on the settings
// record, Settings.ini, the activity log and the plan, driven without a window; and that the
// window's items reach them.
#include "file_size_limit.h"
#include "help_commands.h"
#include "settings_commands.h"
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
    // The commands over a fresh plan: a finished, a running and a fixed unit, a relative unit and
    // a pause, 25 minutes each.
    SettingsCommands& commands() {
        plan = std::make_unique<Worklist>(clock, records.settings);
        plan->setRunControl(&engine);
        planFile =
            std::make_unique<PlanFile>(*plan, clock, records.settings, data.folder(), records.debugLog, ui);
        addFixed(u"fest"_s, QTime(11, 0));
        addFixed(u"fertig"_s, QTime(8, 0), "x");
        addFixed(u"läuft"_s, QTime(8, 50), "WIP");
        plan->AddEntry(u"relativ"_s, false, plantime::wall(clock.today(), QTime(0, 0)), 25, false, u" "_s);
        plan->AddEntry(u"Pause"_s, true, plantime::wall(clock.today(), QTime(0, 0)), 25, false, u" "_s);
        m_commands = std::make_unique<SettingsCommands>(
            SettingsCommands::Services{records, ui, *plan, *planFile, data.folder(), shell, editSettingsFile,
                                       [this] { ++percentileUpdates; }, [this] { ++focusLockStarts; }});
        return *m_commands;
    }
    // Title=minutes of each entry, the fixed unit with its end, sorted.
    QString durations() const {
        QStringList out;
        for (const PlanEntry& e : entries())
            out.append(e.displayText.section(u' ', 0, 0) + u'=' + e.duration +
                       (e.displayText == u"fest"_s ? u'@' + e.endTime : QString()));
        out.sort();
        return out.join(u' ');
    }
    // What the next start would read from Settings.ini.
    Settings savedSettings() {
        Settings s;
        records.settingsFile.LoadSettings(s);
        return s;
    }
    QString logPath() const { return records.settings.LogDateiPfad; }

    std::function<void()> editSettingsFile;
    int percentileUpdates = 0;
    int focusLockStarts = 0;
    std::unique_ptr<SettingsCommands> m_commands;
};

TEST_F(SettingsMenuTest, EachSettingsCommandChangesItsCaptionTheRecordAndSettingsIni) {
    using Kind = ScriptedUi::Kind;
    using Check = SettingsCommands::Check;
    using View = SettingsCommands::MenuView;
    struct Case {
        std::function<void(SettingsCommands&)> run;
        const char* typed; // nullptr: a check item, clicked
        const char* question;
        std::function<void(Settings&)> change; // none: nothing may change, nothing is saved
        QString View::*caption = nullptr;
        const char* captionAfter = nullptr;
        bool percentileBefore = false;
    };
    const auto set = [](auto field, auto value) {
        return std::function<void(Settings&)>([field, value](Settings& s) { s.*field = value; });
    };
    const auto number = [](void (SettingsCommands::*command)()) {
        return std::function<void(SettingsCommands&)>([command](SettingsCommands& c) { (c.*command)(); });
    };
    const auto click = [](Check item, bool mark) {
        return std::function<void(SettingsCommands&)>(
            [item, mark](SettingsCommands& c) { c.setChecked(item, mark); });
    };
    const auto unit = number(&SettingsCommands::unitLength);
    const auto small = number(&SettingsCommands::smallPause);
    const auto big = number(&SettingsCommands::bigPause);
    const auto replan = number(&SettingsCommands::maxReplan);
    const Case cases[] = {
        {unit, "40", "Dauer einer Einheit|Wie viel min soll eine Einheit dauern?|25",
         set(&Settings::StandardDauerEinheit, 40), &View::unitLength, "Dauer einer Einheit: 40 min"},
        {unit, "0", nullptr, set(&Settings::StandardDauerEinheit, 1), &View::unitLength,
         "Dauer einer Einheit: 1 min"},
        {unit, "1441", nullptr, {}, &View::unitLength, "Dauer einer Einheit: 25 min"},
        {unit, "vierzig", nullptr, {}, &View::unitLength, "Dauer einer Einheit: 25 min"},
        {small, " 7 ", "Länge einer kleinen Pause|Wie lange soll eine kleine Pause dauern?|5",
         set(&Settings::KleinePause, 7), &View::smallPause, "Standard-Dauer einer kleinen Pause: 7 min"},
        {small, "-3", nullptr, set(&Settings::KleinePause, 1), &View::smallPause,
         "Standard-Dauer einer kleinen Pause: 1 min"},
        {big, "1440", "Länge einer großen Pause|Wie lange soll eine große Pause dauern?|25",
         set(&Settings::GrossePause, 1440), &View::bigPause, "Standard-Dauer einer großen Pause: 1440 min"},
        {big, "99999999999", nullptr, {}, &View::bigPause, "Standard-Dauer einer großen Pause: 25 min"},
        {replan, "3", "Neu planen|Wie oft kann der Benutzer neu planen?\n(-1 für unbegrenzt)|-1",
         [](Settings& s) { s.NeuPlanenMax = s.Verbleibend = 3; }, &View::maxReplan,
         "Neu planen 3 mal zulässig (3 verbleibend)"},
        {replan, "-1", nullptr, [](Settings& s) { s.NeuPlanenMax = s.Verbleibend = -1; }, &View::maxReplan,
         "Neu planen unbegrenzt oft zulässig"},
        {replan, "-2", nullptr, {}, &View::maxReplan, "Neu planen unbegrenzt oft zulässig"},
        {click(Check::Presence, false), nullptr, nullptr, set(&Settings::AnwesenheitErforderlich, false)},
        {click(Check::Sounds, false), nullptr, nullptr, set(&Settings::Sounds, false)},
        {click(Check::LockInPause, true), nullptr, nullptr, set(&Settings::InPauseSperren, true)},
        {click(Check::Percentile, true), nullptr, nullptr, set(&Settings::showPercentileRanking, true)},
        {click(Check::Percentile, false),
         nullptr,
         nullptr,
         set(&Settings::showPercentileRanking, false),
         {},
         nullptr,
         true},
        {click(Check::Foreground, true), nullptr, nullptr, set(&Settings::InVordergrundDraengen, true)},
        {click(Check::Foreground, false), nullptr, nullptr, set(&Settings::InVordergrundDraengen, false)},
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
        SCOPED_TRACE(std::string(c.typed ? c.typed : "(clicked)") + " " + (c.question ? c.question : ""));
        QFile::remove(records.settingsFile.filePath());
        records.settings = startOf(c);
        percentileUpdates = focusLockStarts = 0;
        SettingsCommands& commands = this->commands();
        if (c.typed)
            ui.answer(Kind::Text, QString::fromUtf8(c.typed));
        c.run(commands);

        const Settings expected = expectedOf(c);
        EXPECT_EQ(records.settings, expected);
        EXPECT_EQ(focusLockStarts, expected.InVordergrundDraengen ? 1 : 0);
        if (c.question) {
            EXPECT_EQ(ui.questions.value(0), QString::fromUtf8(c.question));
        }
        ui.questions.clear();
        if (c.change) {
            EXPECT_EQ(savedSettings(), expected);
        } else {
            EXPECT_FALSE(QFile::exists(records.settingsFile.filePath()));
        }
        const View view = SettingsCommands::menuView(records);
        if (c.captionAfter) {
            EXPECT_EQ(view.*c.caption, QString::fromUtf8(c.captionAfter));
        }
        EXPECT_EQ(
            QList<bool>({view.presence, view.sounds, view.lockInPause, view.percentile, view.foreground}),
            QList<bool>({expected.AnwesenheitErforderlich, expected.Sounds, expected.InPauseSperren,
                         expected.showPercentileRanking, expected.InVordergrundDraengen}));
        // Only units still to do take a new length; a fixed one ends by it at once.
        const int length = expected.StandardDauerEinheit;
        EXPECT_EQ(durations(), u"Pause:=25 fertig=25 fest=%1@%2 läuft=25 relativ=%1"_s.arg(length).arg(
                                   QTime(11, 0).addSecs(length * 60).toString(u"hh:mm"_s)));
        // The rank is computed when switched on, and the caption follows at once either way.
        const bool percentileOn = expected.showPercentileRanking;
        EXPECT_EQ(percentileUpdates, percentileOn && !c.percentileBefore ? 1 : 0);
        EXPECT_EQ(plan->caption().contains(u" - #"_s), percentileOn);
    }
}

TEST_F(SettingsMenuTest, TheWindowsItemsReachTheirCommands) {
    int debuggers = 0;
    int extrasChanges = 0;
    records.settings.InVordergrundDraengen = false;
    adjustServices = [&extrasChanges](WorklistServices& s) {
        s.programFolder = QStringLiteral(TAKTPLAN_PROGRAM_DIR);
        s.interfaceLanguage = u"de"_s;
        s.extrasChanged = [&extrasChanges] { ++extrasChanges; };
    };
    open();
    window->setHelpWindows([&] { ++debuggers; }, {});
    // Opening the menu brings captions and marks up to date.
    records.settings.StandardDauerEinheit = 30;
    records.settings.Sounds = false;
    emit menu(u"Einstellungen"_s)->aboutToShow();
    EXPECT_EQ(item(u"mniDauerEinheit1"_s)->text(), u"Dauer einer Einheit: 30 min"_s);
    EXPECT_FALSE(item(u"mniSounds1"_s)->isChecked());
    ui.answer(ScriptedUi::Kind::Text, u"40"_s);
    item(u"mniDauerEinheit1"_s)->trigger();
    EXPECT_EQ(records.settings.StandardDauerEinheit, 40);
    item(u"mniSounds1"_s)->trigger();
    EXPECT_TRUE(records.settings.Sounds);
    timer(u"tmrFocusLock"_s)->stop();
    item(u"mniIndenVordergrundschiebenbisNeuGeplant1"_s)->trigger();
    EXPECT_TRUE(records.settings.InVordergrundDraengen);
    EXPECT_TRUE(timer(u"tmrFocusLock"_s)->isActive());
    // The tray icon and the notifications go to Taktplan-extras.ini alone, and are told at once.
    emit menu(u"Einstellungen"_s)->aboutToShow();
    EXPECT_TRUE(item(u"mniTraySymbol1"_s)->isChecked());
    item(u"mniTraySymbol1"_s)->trigger();
    item(u"mniBenachrichtigungen1"_s)->trigger();
    EXPECT_EQ(data.read(u"Taktplan-extras.ini"_s).left(29), "TrayIcon=0\r\nNotifications=1\r\n");
    EXPECT_EQ(extrasChanges, 2);
    EXPECT_EQ(savedSettings(), records.settings);
    item(u"mniDebuggerAnzeigen1"_s)->trigger();
    EXPECT_EQ(debuggers, 1);
    // F1 as a key, and the guide's sections behind their items.
    key(Qt::Key_F1);
    for (const char* name : {"mniVerwascheneDarstellung1", "mniVirtuelleDesktops1",
                             "mniInformationenzuPercentileRanking1", "mniWeitereProjekte1"})
        item(QString::fromLatin1(name))->trigger();
    const QString guide = QStringLiteral(TAKTPLAN_PROGRAM_DIR) + u"/doc/taktplan-de"_s;
    EXPECT_EQ(shell.files,
              QStringList({guide + u".html"_s, guide + u"-hidpi.html"_s, guide + u"-desktops.html"_s,
                           guide + u"-perzentil.html"_s, guide + u"-kontakt.html"_s}));
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
    const auto at = [this](const char* name) { return data.filePath(QString::fromUtf8(name)); };
    // clang-format off
    const Case cases[] = {
        {"to a new file", at("ziel/log.txt"), {}, true, history, false},
        {"while another program holds it open", at("ziel/offen.log"), {}, true, history, false, 0, false, true},
        {"onto an existing log", at("ziel/vorhanden.log"), other, true, other, true},
        {"into a folder that cannot be written", at("blockiert/log.txt"), {}, false, {}, true},
        {"onto a folder", at("ziel/ordner.log"), {}, false, {}, true},
        {"into a folder that does not exist", at("fehlt/log.txt"), {}, false, {}, true},
        {"with the disk full halfway", at("ziel/voll.txt"), {}, false, {}, true, 10},
        // The next start would look for the log where the settings still say it is.
        {"when the settings cannot be saved", at("ziel/log.txt"), {}, false, {}, true, 0, true},
        // Files the program writes over on every save would take the log with them.
        {"onto the settings file", at("ziel/../Settings.ini"), {}, false, {}, true},
        {"onto the plan file", at("worklist.log"), "Eins///25\r\n", false, "Eins///25\r\n", true},
        {"onto the debug log", at("debug_log.txt"), {}, false, {}, true},
        {"onto the plan file's backup", at("worklist.log.bak"), {}, false, {}, true},
    };
    // clang-format on
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
        SettingsCommands& commands = this->commands();
        ui.answer(ScriptedUi::Kind::SaveFile, c.target);
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (c.sizeLimit)
                limit = std::make_unique<FileSizeLimit>(c.sizeLimit);
            commands.moveLog();
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
    editSettingsFile = [&] { ++settingsCommands; };
    SettingsCommands& commands = this->commands();
    commands.openDataFolder();
    EXPECT_EQ(shell.files, QStringList(data.folder().path() + u'/'));
    // The editor must find a file to open, also before the first save.
    ASSERT_FALSE(QFile::exists(records.settingsFile.filePath()));
    commands.openSettingsFile();
    EXPECT_TRUE(QFile::exists(records.settingsFile.filePath()));
    EXPECT_EQ(settingsCommands, 1);
    // A settings file that cannot be written: the program neither opens an editor nor ends.
    QFile::remove(records.settingsFile.filePath());
    QDir().mkpath(records.settingsFile.filePath());
    commands.openSettingsFile();
    EXPECT_EQ(settingsCommands, 1);
    EXPECT_EQ(ui.messages.size(), 1);
    QDir().rmdir(records.settingsFile.filePath());
}

TEST_F(SettingsMenuTest, HelpItemsLeadToTheInstalledGuideOrAConfiguredAddress) {
    const QString programFolder = QStringLiteral(TAKTPLAN_PROGRAM_DIR);
    struct Case {
        void (HelpCommands::*command)();
        const char* language;
        const char* environment; // "VARIABLE=value" or nullptr
        QString expected;        // an address; a guide section is "guide:<anchor>"
    };
    const Case cases[] = {
        {nullptr, "de", nullptr, u"guide:"_s},
        {nullptr, "en", nullptr, u"guide:"_s},
        {nullptr, "de", nullptr, u"guide:hidpi"_s},
        {nullptr, "en", nullptr, u"guide:desktops"_s},
        {nullptr, "de", nullptr, u"guide:perzentil"_s},
        {&HelpCommands::checkUpdates, "en", nullptr, u"guide:kontakt"_s},
        {&HelpCommands::checkUpdates, "de", "TAKTPLAN_HOME_URL=https://taktplan.example/",
         u"https://taktplan.example/"_s},
        {&HelpCommands::moreProjects, "de", nullptr, u"guide:kontakt"_s},
        {&HelpCommands::moreProjects, "en", "TAKTPLAN_PROJECTS_URL=https://projekte.example/",
         u"https://projekte.example/"_s},
        {&HelpCommands::sendMail, "en", nullptr, u"guide:kontakt"_s},
        {&HelpCommands::sendMail, "de", "TAKTPLAN_CONTACT_MAIL=hilfe@taktplan.example",
         u"mailto:hilfe@taktplan.example?subject=Taktplan%202.2&body=Hallo,%0A%0A"_s},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString() + " " + c.language);
        QByteArray variable;
        if (c.environment) {
            const QList<QByteArray> parts = QByteArray(c.environment).split('=');
            variable = parts.at(0);
            qputenv(variable.constData(), QByteArray(c.environment).mid(variable.size() + 1));
        }
        shell.addresses.clear();
        shell.files.clear();
        HelpCommands help(shell, ui, companion, programFolder, QString::fromLatin1(c.language));
        // No command: the guide's section the item names.
        if (c.command)
            (help.*c.command)();
        else
            help.openGuide(c.expected.mid(6));
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
    HelpCommands help(shell, ui, companion, programFolder, u"de"_s);
    launcher.present.insert(QString::fromLatin1(CompanionProgram::fileName));
    shell.addresses.clear();
    help.checkUpdates();
    EXPECT_TRUE(shell.addresses.isEmpty());
    EXPECT_EQ(launcher.starts.constLast().arguments, (QStringList{u"2.2"_s, u"notify"_s}));

    shell.files.clear();
    help.licences();
    ASSERT_EQ(shell.files.size(), 1);
    EXPECT_TRUE(QFileInfo(shell.files.constFirst()).isFile()) << shell.files.constFirst().toStdString();

    // An installation without its doc/ folder says what is missing instead.
    const TempDataFolder bare;
    HelpCommands bareHelp(shell, ui, companion, bare.path(), u"en"_s);
    shell.files.clear();
    bareHelp.openGuide();
    bareHelp.licences();
    EXPECT_TRUE(shell.files.isEmpty());
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_TRUE(ui.messages.at(0).endsWith(bare.path() + u"/doc/taktplan-en.html"_s))
        << ui.messages.at(0).toStdString();
    EXPECT_TRUE(ui.messages.at(1).endsWith(u"/doc/LICENCES.txt"_s));
}

} // namespace
