// The "Einstellungen" and "Hilfe" menus: each command's dialogs and effects on the settings
// record, Settings.ini, the activity log and the plan, driven without a window; and that the
// window's items reach them.
#include "case_table.h"
#include "file_size_limit.h"
#include "help_commands.h"
#include "settings_commands.h"
#include "settings_file.h"
#include "window_fixture.h"

#include <QAction>
#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

namespace {

QList<CaseRow> table(const char* section) {
    return caseTable(QStringLiteral(GUI_TEST_DATA "/settings_menu.txt"), QString::fromLatin1(section));
}

// The bytes of a settings file with the lines "key=value" of change in place of the key's;
// touched tells whether one of the keys is in it.
QByteArray withChange(QByteArray file, const QStringList& change, bool& touched) {
    touched = false;
    for (const QString& line : change) {
        const qsizetype at = ('\n' + file).indexOf('\n' + line.section(u'=', 0, 0).toLatin1() + '=');
        if (at < 0)
            continue;
        touched = true;
        file.replace(at, file.indexOf('\r', at) - at, line.toLatin1());
    }
    return file;
}

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
        SettingsCommands::Services services{records,          ui, *plan, *planFile, data.folder(), shell,
                                            editSettingsFile, {}, {}};
        services.updatePercentile = [this] { ++percentileUpdates; };
        m_commands = std::make_unique<SettingsCommands>(services);
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

    std::function<void()> editSettingsFile;
    int percentileUpdates = 0;
    std::unique_ptr<SettingsCommands> m_commands;
};

TEST_F(SettingsMenuTest, EachSettingsCommandChangesItsCaptionTheRecordAndSettingsIni) {
    using View = SettingsCommands::MenuView;
    // The table's names: the number commands, then the check items in the order of Check.
    const QStringList names{u"unit"_s,       u"small"_s,      u"big"_s,       u"replan"_s,
                            u"target"_s,     u"Presence"_s,   u"Sounds"_s,    u"LockInPause"_s,
                            u"Percentile"_s, u"Foreground"_s, u"AskReason"_s, u"TargetAtFirstStart"_s};
    void (SettingsCommands::*const numbers[])() = {
        &SettingsCommands::unitLength, &SettingsCommands::smallPause, &SettingsCommands::bigPause,
        &SettingsCommands::maxReplan, &SettingsCommands::defaultTarget};
    QString View::*const captions[] = {&View::unitLength, &View::smallPause, &View::bigPause,
                                       &View::maxReplan, &View::defaultTarget};
    QHash<QString, QString> questions;
    for (const CaseRow& q : table("questions"))
        questions.insert(q[0], q.fields.mid(1).join(u'|'));
    const Settings initial = records.settings;
    const QString files[] = {records.settingsFile.filePath(), records.extrasFile.filePath()};
    for (const CaseRow& c : table("commands")) {
        SCOPED_TRACE(c.where.toStdString());
        records.settings = initial;
        records.extras = ExtraSettings();
        records.settings.showPercentileRanking = c[2] == u"on"_s;
        const bool percentileBefore = records.settings.showPercentileRanking;
        ASSERT_TRUE(records.saveSettings() && records.saveExtras());
        QByteArray want[] = {readBytes(files[0]), readBytes(files[1])};
        for (const QString& f : files)
            QFile::remove(f);
        percentileUpdates = 0;
        ui.questions.clear();
        const qsizetype command = names.indexOf(c[0]);
        ASSERT_GE(command, 0);
        if (command < 5) {
            ui.answer(ScriptedUi::Kind::Text, c[1]);
            (commands().*numbers[command])();
            EXPECT_EQ(ui.questions, QStringList(questions.value(c[0])));
            EXPECT_EQ(SettingsCommands::menuView(records.settings, records.extras).*captions[command], c[4]);
        } else {
            commands().setChecked(SettingsCommands::Check(command - 5), c[1] == u"on"_s);
        }
        // Each file as the command saved it (not at all when none of its lines changed), and the
        // record reads as that file.
        for (int i = 0; i < 2; ++i) {
            bool touched = false;
            want[i] = withChange(want[i], c[3].split(u';', Qt::SkipEmptyParts), touched);
            EXPECT_EQ(readBytes(files[i]), touched ? want[i] : QByteArray()) << i;
        }
        ASSERT_TRUE(records.saveSettings() && records.saveExtras());
        EXPECT_EQ(readBytes(files[0]) + readBytes(files[1]), want[0] + want[1]);
        const Settings& now = records.settings;
        const View view = SettingsCommands::menuView(now, records.extras);
        EXPECT_EQ(QList<bool>({view.presence, view.sounds, view.lockInPause, view.percentile, view.foreground,
                               view.askReason, view.targetAtFirstStart}),
                  QList<bool>({now.AnwesenheitErforderlich, now.Sounds, now.InPauseSperren,
                               now.showPercentileRanking, now.InVordergrundDraengen, now.GrundVerlangen,
                               records.extras.targetAtFirstStart}));
        // Only units still to do take a new length; a fixed one ends by it at once.
        const int length = now.StandardDauerEinheit;
        EXPECT_EQ(durations(), u"Pause:=25 fertig=25 fest=%1@%2 läuft=25 relativ=%1"_s.arg(length).arg(
                                   QTime(11, 0).addSecs(length * 60).toString(u"hh:mm"_s)));
        // The rank is computed when switched on, and the caption follows at once either way.
        EXPECT_EQ(percentileUpdates, now.showPercentileRanking && !percentileBefore ? 1 : 0);
        EXPECT_EQ(plan->caption().contains(u" - #"_s), now.showPercentileRanking);
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
    EXPECT_TRUE(item(u"mniTraySymbol1"_s)->isChecked());
    EXPECT_EQ(item(u"mniDefaultSollWert"_s)->text(), u"Default-Soll-Wert: 0 Einheiten pro Tag"_s);
    ui.answer(ScriptedUi::Kind::Text, u"40"_s);
    timer(u"tmrFocusLock"_s)->stop();
    for (const char* name :
         {"mniDauerEinheit1", "mniSounds1", "mniIndenVordergrundschiebenbisNeuGeplant1", "mniTraySymbol1",
          "mniBenachrichtigungen1", "mniGrundVerlangen", "mniSollBeimErstenStart"})
        item(QString::fromLatin1(name))->trigger();
    EXPECT_TRUE(records.settings.StandardDauerEinheit == 40 && records.settings.Sounds &&
                records.settings.GrundVerlangen && !records.extras.targetAtFirstStart);
    EXPECT_TRUE(timer(u"tmrFocusLock"_s)->isActive());
    EXPECT_EQ(savedSettings(), records.settings);
    // The tray icon and the notifications go to Taktplan-extras.ini alone, and are told at once.
    EXPECT_EQ(data.read(u"Taktplan-extras.ini"_s).left(29), "TrayIcon=0\r\nNotifications=1\r\n");
    EXPECT_EQ(extrasChanges, 3);
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
    const QString oldPath = data.filePath(u"Dezuzedu.log"_s);
    data.write(u"blockiert"_s, "eine Datei, kein Ordner");
    QDir(data.path()).mkpath(u"ziel/ordner.log"_s);
    for (const CaseRow& c : table("log moves")) {
        SCOPED_TRACE(c.where.toStdString());
        const QString target = data.filePath(c[0]);
        const QByteArray before = c[1].toUtf8();
        const bool moves = c[2] == u"yes"_s, blocked = c[3] == u"blocked"_s;
        records.settings.LogDateiPfad = oldPath;
        data.write(u"Dezuzedu.log"_s, history);
        QFile held(oldPath);
        ASSERT_TRUE(c[3] != u"held"_s || held.open(QIODevice::ReadWrite | QIODevice::Append));
        if (!before.isEmpty())
            data.write(c[0], before);
        QFile::remove(records.settingsFile.filePath());
        if (blocked)
            QDir().mkpath(records.settingsFile.filePath());
        ui.messages.clear();
        ui.questions.clear();
        ui.answer(ScriptedUi::Kind::SaveFile, target);
        {
            std::optional<FileSizeLimit> limit;
            if (c[3] == u"full"_s)
                limit.emplace(10);
            commands().moveLog();
        }
        EXPECT_EQ(
            ui.questions,
            QStringList(u"Log-Datei speichern unter|Textdateien und Logdateien (*.txt *.log)|"_s + oldPath));
        EXPECT_EQ(records.settings.LogDateiPfad, moves ? target : oldPath);
        // The old log goes only when it went whole to a new file; a file there stays as it was.
        const bool oldStays = !moves || !before.isEmpty();
        EXPECT_EQ(QFile::exists(oldPath), oldStays);
        EXPECT_TRUE(!oldStays || data.read(u"Dezuzedu.log"_s) == history);
        const QByteArray after = before.isEmpty() && moves ? history : before;
        EXPECT_EQ(QFileInfo(target).isFile(), !after.isEmpty());
        EXPECT_EQ(data.read(c[0]), after);
        // A failed move tells the user (and so does the failed save) and leaves the settings alone.
        EXPECT_EQ(ui.messages.size(), moves ? 0 : (blocked ? 2 : 1));
        if (moves) {
            EXPECT_EQ(savedSettings().LogDateiPfad, target);
            // The next entry goes to the new place.
            const QString next = u"\r\nMo, 07.12.2026 09:00|25 Weiter"_s;
            ASSERT_TRUE(records.activityLog.WriteLogEntry(next));
            EXPECT_EQ(data.read(c[0]), after + next.toUtf8());
        } else {
            EXPECT_EQ(QFile::exists(records.settingsFile.filePath()), blocked);
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
    const QHash<QString, void (HelpCommands::*)()> commands{{u"checkUpdates"_s, &HelpCommands::checkUpdates},
                                                            {u"moreProjects"_s, &HelpCommands::moreProjects},
                                                            {u"sendMail"_s, &HelpCommands::sendMail}};
    for (const CaseRow& c : table("help")) {
        SCOPED_TRACE(c.where.toStdString());
        const QByteArray variable = c[2].toLatin1();
        if (variable != "-")
            qputenv(variable, c[3].toUtf8());
        shell.addresses.clear();
        shell.files.clear();
        const QString language = c[1], expected = c[4], anchor = expected.mid(6);
        HelpCommands help(shell, ui, companion, programFolder, language);
        c[0] == u"guide"_s ? help.openGuide(anchor) : (help.*commands.value(c[0]))();
        if (variable != "-")
            qunsetenv(variable);
        if (!expected.startsWith(u"guide:"_s)) {
            EXPECT_EQ(shell.addresses, QStringList(expected));
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
