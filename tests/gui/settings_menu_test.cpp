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
        makePlan(ui);
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
    using Check = SettingsCommands::Check;
    using View = SettingsCommands::MenuView;
    using Command = void (SettingsCommands::*)();
    const auto set = [](auto field, auto value) {
        return std::function<void(Settings&)>([field, value](Settings& s) { s.*field = value; });
    };
    const auto replanTo = [](int n) {
        return std::function<void(Settings&)>([n](Settings& s) { s.NeuPlanenMax = s.Verbleibend = n; });
    };
    const Command unit = &SettingsCommands::unitLength, small = &SettingsCommands::smallPause,
                  big = &SettingsCommands::bigPause, replan = &SettingsCommands::maxReplan,
                  target = &SettingsCommands::defaultTarget;
    // A number command answered with typed, or (no command) a check item clicked to mark. No
    // change: nothing may change and nothing is saved.
    const struct {
        Command command;
        const char* typed;
        Check check;
        bool mark;
        std::function<void(Settings&)> change;
        QString View::*caption;
        const char* captionAfter;
        bool percentileBefore;
        bool targetAtFirstStart = true; // the extra setting afterwards, saved beside Settings.ini
    } cases[] = {
        // clang-format off
        {unit, "40", {}, {}, set(&Settings::StandardDauerEinheit, 40), &View::unitLength, "Dauer einer Einheit: 40 min", false},
        {unit, "0", {}, {}, set(&Settings::StandardDauerEinheit, 1), &View::unitLength, "Dauer einer Einheit: 1 min", false},
        {unit, "1441", {}, {}, {}, &View::unitLength, "Dauer einer Einheit: 25 min", false},
        {unit, "vierzig", {}, {}, {}, &View::unitLength, "Dauer einer Einheit: 25 min", false},
        {small, " 7 ", {}, {}, set(&Settings::KleinePause, 7), &View::smallPause, "Standard-Dauer einer kleinen Pause: 7 min", false},
        {small, "-3", {}, {}, set(&Settings::KleinePause, 1), &View::smallPause, "Standard-Dauer einer kleinen Pause: 1 min", false},
        {big, "1440", {}, {}, set(&Settings::GrossePause, 1440), &View::bigPause, "Standard-Dauer einer großen Pause: 1440 min", false},
        {big, "99999999999", {}, {}, {}, &View::bigPause, "Standard-Dauer einer großen Pause: 25 min", false},
        {replan, "3", {}, {}, replanTo(3), &View::maxReplan, "Neu planen 3 mal zulässig (3 verbleibend)", false},
        {replan, "-1", {}, {}, replanTo(-1), &View::maxReplan, "Neu planen unbegrenzt oft zulässig", false},
        {replan, "-2", {}, {}, {}, &View::maxReplan, "Neu planen unbegrenzt oft zulässig", false},
        {target, "8", {}, {}, set(&Settings::DefaultSollWert, 8), &View::defaultTarget, "Default-Soll-Wert: 8 Einheiten pro Tag", false},
        {target, "-1", {}, {}, set(&Settings::DefaultSollWert, -1), &View::defaultTarget, "Default-Soll-Wert: keiner", false},
        {target, "-2", {}, {}, {}, &View::defaultTarget, "Default-Soll-Wert: 0 Einheiten pro Tag", false},
        {nullptr, nullptr, Check::AskReason, true, set(&Settings::GrundVerlangen, true), {}, nullptr, false},
        {nullptr, nullptr, Check::TargetAtFirstStart, false, {}, {}, nullptr, false, false},
        {nullptr, nullptr, Check::Presence, false, set(&Settings::AnwesenheitErforderlich, false), {}, nullptr, false},
        {nullptr, nullptr, Check::Sounds, false, set(&Settings::Sounds, false), {}, nullptr, false},
        {nullptr, nullptr, Check::LockInPause, true, set(&Settings::InPauseSperren, true), {}, nullptr, false},
        {nullptr, nullptr, Check::Percentile, true, set(&Settings::showPercentileRanking, true), {}, nullptr, false},
        {nullptr, nullptr, Check::Percentile, false, set(&Settings::showPercentileRanking, false), {}, nullptr, true},
        {nullptr, nullptr, Check::Foreground, true, set(&Settings::InVordergrundDraengen, true), {}, nullptr, false},
        {nullptr, nullptr, Check::Foreground, false, set(&Settings::InVordergrundDraengen, false), {}, nullptr, false},
        // clang-format on
    };
    // Each dialog: its caption, prompt and the current value pre-filled.
    const std::pair<Command, QString> questions[] = {
        {unit, u"Dauer einer Einheit|Wie viel min soll eine Einheit dauern?|25"_s},
        {small, u"Länge einer kleinen Pause|Wie lange soll eine kleine Pause dauern?|5"_s},
        {big, u"Länge einer großen Pause|Wie lange soll eine große Pause dauern?|25"_s},
        {replan, u"Neu planen|Wie oft kann der Benutzer neu planen?\n(-1 für unbegrenzt)|-1"_s},
        {target,
         u"Default-Soll-Wert|Wie viele Einheiten sollen regelmäßig pro Tag erledigt werden?\n(-1 für keinen)|0"_s}};
    const Settings initial = records.settings;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.typed ? c.typed : "(clicked)") + " " + std::to_string(int(c.check)));
        QFile::remove(records.settingsFile.filePath());
        QFile::remove(records.extrasFile.filePath());
        records.settings = initial;
        records.extras = ExtraSettings();
        records.settings.showPercentileRanking = c.percentileBefore;
        Settings expected = records.settings;
        if (c.change)
            c.change(expected);
        percentileUpdates = focusLockStarts = 0;
        ui.questions.clear();
        if (c.command) {
            ui.answer(ScriptedUi::Kind::Text, QString::fromUtf8(c.typed));
            (commands().*c.command)();
            for (const auto& [command, question] : questions)
                EXPECT_TRUE(command != c.command || ui.questions == QStringList(question))
                    << ui.questions.join(u'|').toStdString();
            EXPECT_EQ(SettingsCommands::menuView(records.settings, records.extras).*c.caption,
                      QString::fromUtf8(c.captionAfter));
        } else {
            commands().setChecked(c.check, c.mark);
        }
        EXPECT_EQ(records.settings, expected);
        EXPECT_EQ(focusLockStarts, expected.InVordergrundDraengen ? 1 : 0);
        EXPECT_TRUE(c.change ? savedSettings() == expected : !QFile::exists(records.settingsFile.filePath()));
        ExtraSettings savedExtras;
        records.extrasFile.load(savedExtras);
        EXPECT_EQ(savedExtras.targetAtFirstStart, c.targetAtFirstStart);
        const View view = SettingsCommands::menuView(records.settings, records.extras);
        EXPECT_EQ(QList<bool>({view.presence, view.sounds, view.lockInPause, view.percentile, view.foreground,
                               view.askReason, view.targetAtFirstStart}),
                  QList<bool>({expected.AnwesenheitErforderlich, expected.Sounds, expected.InPauseSperren,
                               expected.showPercentileRanking, expected.InVordergrundDraengen,
                               expected.GrundVerlangen, c.targetAtFirstStart}));
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
    QStringList shown;
    int extrasChanges = 0;
    records.settings.InVordergrundDraengen = false;
    adjustServices = [&shown, &extrasChanges](WorklistServices& s) {
        s.programFolder = QStringLiteral(TAKTPLAN_PROGRAM_DIR);
        s.interfaceLanguage = u"de"_s;
        s.evaluationCommand = [&shown] { shown.append(u"evaluation"_s); };
        s.extrasChanged = [&extrasChanges] { ++extrasChanges; };
    };
    open();
    window->setHelpWindows([&] { shown.append(u"debugger"_s); }, [&] { shown.append(u"about"_s); });
    // Opening the menu brings captions and marks up to date.
    records.settings.StandardDauerEinheit = 30;
    records.settings.Sounds = false;
    emit menu(u"Einstellungen"_s)->aboutToShow();
    EXPECT_EQ(item(u"mniDauerEinheit1"_s)->text(), u"Dauer einer Einheit: 30 min"_s);
    EXPECT_FALSE(item(u"mniSounds1"_s)->isChecked());
    EXPECT_EQ(item(u"mniDefaultSollWert"_s)->text(), u"Default-Soll-Wert: 0 Einheiten pro Tag"_s);
    ui.answer(ScriptedUi::Kind::Text, u"40"_s);
    item(u"mniDauerEinheit1"_s)->trigger();
    item(u"mniSounds1"_s)->trigger();
    EXPECT_TRUE(records.settings.StandardDauerEinheit == 40 && records.settings.Sounds);
    timer(u"tmrFocusLock"_s)->stop();
    item(u"mniIndenVordergrundschiebenbisNeuGeplant1"_s)->trigger();
    EXPECT_TRUE(timer(u"tmrFocusLock"_s)->isActive());
    // The tray icon and the notifications go to Taktplan-extras.ini alone, and are told at once.
    emit menu(u"Einstellungen"_s)->aboutToShow();
    EXPECT_TRUE(item(u"mniTraySymbol1"_s)->isChecked());
    item(u"mniTraySymbol1"_s)->trigger();
    item(u"mniBenachrichtigungen1"_s)->trigger();
    EXPECT_EQ(data.read(u"Taktplan-extras.ini"_s).left(29), "TrayIcon=0\r\nNotifications=1\r\n");
    EXPECT_EQ(extrasChanges, 2);
    item(u"mniGrundVerlangen"_s)->trigger();
    item(u"mniSollBeimErstenStart"_s)->trigger();
    EXPECT_TRUE(records.settings.GrundVerlangen && !records.extras.targetAtFirstStart);
    EXPECT_EQ(savedSettings(), records.settings);
    key(Qt::Key_B, Qt::ControlModifier);
    for (QAction* a : menu(u"Hilfe"_s)->actions()) {
        if (a->text() == u"Debugger anzeigen"_s || a->text() == u"Über Taktplan"_s)
            a->trigger();
    }
    EXPECT_EQ(shown, QStringList({u"evaluation"_s, u"debugger"_s, u"about"_s}));
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
    // target: in the data folder; before: what is there (empty: nothing); moves: the log path
    // switches to it; limit: bytes a file may grow to; blocked: Settings.ini cannot be written;
    // held: another program keeps the log open.
    const struct {
        const char *name, *target;
        QByteArray before;
        bool moves;
        int limit = 0;
        bool blocked = false, held = false;
    } cases[] = {
        // clang-format off
        {"to a new file", "ziel/log.txt", {}, true},
        {"while another program holds it open", "ziel/offen.log", {}, true, 0, false, true},
        {"onto an existing log", "ziel/vorhanden.log", other, true},
        {"into a folder that cannot be written", "blockiert/log.txt", {}, false},
        {"onto a folder", "ziel/ordner.log", {}, false},
        {"into a folder that does not exist", "fehlt/log.txt", {}, false},
        {"with the disk full halfway", "ziel/voll.txt", {}, false, 10},
        // The next start would look for the log where the settings still say it is.
        {"when the settings cannot be saved", "ziel/log.txt", {}, false, 0, true},
        // Files the program writes over on every save would take the log with them.
        {"onto the settings file", "ziel/../Settings.ini", {}, false},
        {"onto the plan file", "worklist.log", "Eins///25\r\n", false},
        {"onto the debug log", "debug_log.txt", {}, false},
        {"onto the plan file's backup", "worklist.log.bak", {}, false},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString oldPath = data.filePath(u"Dezuzedu.log"_s),
                      target = data.filePath(QString::fromUtf8(c.target));
        records.settings.LogDateiPfad = oldPath;
        data.write(u"Dezuzedu.log"_s, history);
        QFile held(oldPath);
        ASSERT_TRUE(!c.held || held.open(QIODevice::ReadWrite | QIODevice::Append));
        if (!c.before.isEmpty())
            data.write(QString::fromUtf8(c.target), c.before);
        QFile::remove(records.settingsFile.filePath());
        if (c.blocked)
            QDir().mkpath(records.settingsFile.filePath());
        ui.messages.clear();
        ui.questions.clear();
        ui.answer(ScriptedUi::Kind::SaveFile, target);
        {
            std::optional<FileSizeLimit> limit;
            if (c.limit)
                limit.emplace(c.limit);
            commands().moveLog();
        }
        EXPECT_EQ(
            ui.questions,
            QStringList(u"Log-Datei speichern unter|Textdateien und Logdateien (*.txt *.log)|"_s + oldPath));
        EXPECT_EQ(logPath(), c.moves ? target : oldPath);
        // The old log goes only when it went whole to a new file; a file there stays as it was.
        const bool oldStays = !c.moves || !c.before.isEmpty();
        EXPECT_EQ(QFile::exists(oldPath), oldStays);
        EXPECT_TRUE(!oldStays || data.read(u"Dezuzedu.log"_s) == history);
        const QByteArray after = c.before.isEmpty() && c.moves ? history : c.before;
        EXPECT_EQ(QFileInfo(target).isFile(), !after.isEmpty());
        EXPECT_EQ(data.read(QString::fromUtf8(c.target)), after);
        // A failed move tells the user (and so does the failed save) and leaves the settings alone.
        EXPECT_EQ(ui.messages.size(), c.moves ? 0 : (c.blocked ? 2 : 1));
        if (c.moves) {
            EXPECT_EQ(savedSettings().LogDateiPfad, target);
            // The next entry goes to the new place.
            const QString next = u"\r\nMo, 07.12.2026 09:00|25 Weiter"_s;
            ASSERT_TRUE(records.activityLog.WriteLogEntry(next));
            EXPECT_EQ(data.read(QString::fromUtf8(c.target)), after + next.toUtf8());
        } else {
            EXPECT_EQ(QFile::exists(records.settingsFile.filePath()), c.blocked);
        }
        QFile::remove(target);
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
    // No command: the guide's section the item names. expected: an address, or "guide:<anchor>".
    const struct {
        void (HelpCommands::*command)();
        const char *language, *variable, *value;
        QString expected;
    } cases[] = {
        // clang-format off
        {nullptr, "de", nullptr, nullptr, u"guide:"_s},
        {nullptr, "en", nullptr, nullptr, u"guide:"_s},
        {nullptr, "de", nullptr, nullptr, u"guide:hidpi"_s},
        {nullptr, "en", nullptr, nullptr, u"guide:desktops"_s},
        {nullptr, "de", nullptr, nullptr, u"guide:perzentil"_s},
        {&HelpCommands::checkUpdates, "en", nullptr, nullptr, u"guide:kontakt"_s},
        {&HelpCommands::checkUpdates, "de", "TAKTPLAN_HOME_URL", "https://taktplan.example/", u"https://taktplan.example/"_s},
        {&HelpCommands::moreProjects, "de", nullptr, nullptr, u"guide:kontakt"_s},
        {&HelpCommands::moreProjects, "en", "TAKTPLAN_PROJECTS_URL", "https://projekte.example/", u"https://projekte.example/"_s},
        {&HelpCommands::sendMail, "en", nullptr, nullptr, u"guide:kontakt"_s},
        {&HelpCommands::sendMail, "de", "TAKTPLAN_CONTACT_MAIL", "hilfe@taktplan.example",
         u"mailto:hilfe@taktplan.example?subject=Taktplan%202.2&body=Hallo,%0A%0A"_s},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.toStdString() + " " + c.language);
        if (c.variable)
            qputenv(c.variable, c.value);
        shell.addresses.clear();
        shell.files.clear();
        const QString language = QString::fromLatin1(c.language), anchor = c.expected.mid(6);
        HelpCommands help(shell, ui, companion, programFolder, language);
        c.command ? (help.*c.command)() : help.openGuide(anchor);
        if (c.variable)
            qunsetenv(c.variable);
        if (!c.expected.startsWith(u"guide:"_s)) {
            EXPECT_EQ(shell.addresses, QStringList(c.expected));
            EXPECT_TRUE(shell.files.isEmpty());
            continue;
        }
        // The guide in the interface's language, built and in place; a section through a page of
        // its own that leads to the section, which is there.
        const QString guidePath = programFolder + u"/doc/taktplan-"_s + language + u".html"_s;
        EXPECT_TRUE(shell.addresses.isEmpty());
        EXPECT_EQ(shell.files, QStringList(anchor.isEmpty() ? guidePath
                                                            : programFolder + u"/doc/taktplan-"_s + language +
                                                                  u'-' + anchor + u".html"_s));
        QFile guide(guidePath), sectionPage(shell.files.value(0));
        ASSERT_TRUE(guide.open(QIODevice::ReadOnly)) << guidePath.toStdString();
        const QByteArray page = guide.readAll();
        EXPECT_TRUE(page.contains("<html lang=\"" + language.toLatin1() + "\">"));
        if (anchor.isEmpty())
            continue;
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
    shell.files.clear();
    help.checkUpdates();
    EXPECT_TRUE(shell.addresses.isEmpty());
    EXPECT_EQ(launcher.starts.constLast().arguments, (QStringList{u"2.2"_s, u"notify"_s}));
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
    EXPECT_TRUE(ui.messages.at(0).endsWith(bare.path() + u"/doc/taktplan-en.html"_s));
    EXPECT_TRUE(ui.messages.at(1).endsWith(u"/doc/LICENCES.txt"_s));
}

} // namespace
