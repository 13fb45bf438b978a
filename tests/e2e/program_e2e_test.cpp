// The built program as a user's system runs it: a process with its own data folder, ended by a
// signal or by itself, judged by the files it leaves.
#include "program_run.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(path.section(u'/', 0, -2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QList<QByteArray> crlfLines(const QByteArray& bytes) {
    return bytes.split('\n');
}

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        for (const char* folder : {"work", "config", "run"})
            ASSERT_TRUE(QDir().mkpath(m_tmp.filePath(QString::fromLatin1(folder))));
        ::chmod(QFile::encodeName(m_tmp.filePath(QStringLiteral("run"))).constData(), 0700);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.insert(QStringLiteral("TAKTPLAN_DATA_DIR"), dataPath());
        m_env.insert(QStringLiteral("TAKTPLAN_FAKE_TIME"), QStringLiteral("2026-12-07T09:00:00"));
        m_env.insert(QStringLiteral("TAKTPLAN_LANGUAGE"), QStringLiteral("de"));
        m_env.insert(QStringLiteral("TAKTPLAN_TRACE_STARTUP"), QStringLiteral("1"));
        m_env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_tmp.filePath(QStringLiteral("config")));
        m_env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_tmp.filePath(QStringLiteral("run")));
        // Qt's own allocations live until exit; only real faults should fail a run.
        m_env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        m_env.remove(QStringLiteral("TAKTPLAN_EXIT_AFTER_SHOWN"));
    }

    QString dataPath() const { return m_tmp.filePath(QStringLiteral("data")); }
    QString dataFile(const QString& name) const { return dataPath() + u'/' + name; }
    QString runEntryFile() const {
        return m_tmp.filePath(QStringLiteral("config/autostart/taktplan.desktop"));
    }

    std::unique_ptr<ProgramRun> run(const QProcessEnvironment& env) {
        return std::make_unique<ProgramRun>(env, m_tmp.filePath(QStringLiteral("work")));
    }
    std::unique_ptr<ProgramRun> run() { return run(m_env); }

    // Starts the program and waits until its event loop runs.
    std::unique_ptr<ProgramRun> startRunning(const QStringList& arguments = {}) {
        auto program = run();
        EXPECT_TRUE(program->start(arguments));
        EXPECT_FALSE(program->waitForLine(QStringLiteral("running")).isNull())
            << program->errorOutput().toStdString();
        return program;
    }

    int m_argc = 1;
    char m_name[16] = "e2e_tests";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication m_app{m_argc, m_argv};
    QTemporaryDir m_tmp;
    QProcessEnvironment m_env;
};

// A plan as a user leaves it: relative and fixed units, a titled fixed pause, a running mark
// would be resumed only with -autostart so it is left out; "ü" in the code page's byte.
const QByteArray preparedPlan = "Bericht schreiben///25\r\n"
                                "Pause: 25 Mittagspause|||12:00 07.12.2026\r\n"
                                "Steuererkl\xE4rung///50|||14:00 07.12.2026\r\n"
                                "Klavier \xFC"
                                "ben///25\r\n";

} // namespace

TEST_F(ProgramTest, FirstStartWritesTheSettingsAndTheDebugLog) {
    auto program = startRunning();
    EXPECT_EQ(program->lines().value(0), QStringLiteral("running planning-window=visible"));
    ASSERT_TRUE(program->endWith(SIGTERM));

    QByteArray golden = readFile(QStringLiteral(TAKTPLAN_SOURCE_DIR "/tests/data/settings_defaults.ini"));
    ASSERT_FALSE(golden.isEmpty());
    golden.replace("@DATA@", QFile::encodeName(dataPath()));
    EXPECT_EQ(readFile(dataFile(QStringLiteral("Settings.ini"))), golden);

    const QByteArray debug = readFile(dataFile(QStringLiteral("debug_log.txt")));
    EXPECT_TRUE(
        debug.startsWith("===\r\n2026-12-07 09:00: Starte Taktplan 2.2\r\n"
                         "2026-12-07 09:00: Lade Wert \"H\xF6he\" aus INI-Datei.  Datei existiert nicht. "
                         "Ergebnis: \r\n"))
        << debug.left(300).toStdString();
    for (const char* key : {"Breite", "Autostart", "Sounds", "InVordergrundDraengen", "evaluateLastXDays"}) {
        EXPECT_TRUE(
            debug.contains(QByteArray("Lade Wert \"") + key + "\" aus INI-Datei.  Datei existiert nicht."))
            << key;
    }
    EXPECT_TRUE(debug.endsWith("2026-12-07 09:00: Programmende angefordert (SIGTERM)\r\n"
                               "2026-12-07 09:00: Beende Taktplan."))
        << debug.right(200).toStdString();
    EXPECT_EQ(debug.count("==="), 1);
    for (const QByteArray& line : crlfLines(debug))
        EXPECT_TRUE(line.endsWith('\r') || line.endsWith("Beende Taktplan.")) << "every line ends with CR LF";
}

TEST_F(ProgramTest, SettingsCommentsFollowTheLanguage) {
    struct Case {
        const char* language; // TAKTPLAN_LANGUAGE, null: from LANG/LC_ALL
        const char* lang;
        QByteArray line4;
        QByteArray line44;
    };
    const Case cases[] = {
        {"de", "C.UTF-8", "#Einheiten", "#Schriftgroesse im Men\xFC"},
        {"en", "C.UTF-8", "#Units", "#Font size in the menu"},
        {"fr", "C.UTF-8", "#Units", "#Font size in the menu"}, // no catalogue: English
        {nullptr, "de_DE.UTF-8", "#Einheiten", "#Schriftgroesse im Men\xFC"},
        {nullptr, "C.UTF-8", "#Units", "#Font size in the menu"},
    };
    for (const Case& c : cases) {
        QTemporaryDir data;
        QProcessEnvironment env = m_env;
        env.insert(QStringLiteral("TAKTPLAN_DATA_DIR"), data.path());
        env.insert(QStringLiteral("TAKTPLAN_EXIT_AFTER_SHOWN"), QStringLiteral("1"));
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(c.lang));
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(c.lang));
        env.remove(QStringLiteral("LANGUAGE"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        if (c.language)
            env.insert(QStringLiteral("TAKTPLAN_LANGUAGE"), QString::fromLatin1(c.language));
        else
            env.remove(QStringLiteral("TAKTPLAN_LANGUAGE"));
        auto program = run(env);
        ASSERT_TRUE(program->start());
        ASSERT_TRUE(program->waitForExit()) << program->errorOutput().toStdString();
        const QList<QByteArray> lines = readFile(data.filePath(QStringLiteral("Settings.ini"))).split('\n');
        ASSERT_GE(lines.size(), 44);
        EXPECT_EQ(lines[3], c.line4 + '\r') << (c.language ? c.language : c.lang);
        EXPECT_EQ(lines[43], c.line44 + '\r') << (c.language ? c.language : c.lang);
    }
}

TEST_F(ProgramTest, ExitAfterShownReportsTheFirstPaint) {
    m_env.insert(QStringLiteral("TAKTPLAN_EXIT_AFTER_SHOWN"), QStringLiteral("1"));
    auto program = run();
    ASSERT_TRUE(program->start());
    const QString shown = program->waitForLine(QStringLiteral("shown "));
    ASSERT_FALSE(shown.isNull());
    bool ok = false;
    EXPECT_GT(shown.mid(6).toLongLong(&ok), 0);
    EXPECT_TRUE(ok);
    ASSERT_TRUE(program->waitForExit());
    EXPECT_TRUE(readFile(dataFile(QStringLiteral("debug_log.txt"))).endsWith("Beende Taktplan."));
}

TEST_F(ProgramTest, TerminationSignalsLoseNothing) {
    const std::pair<int, QByteArray> signalsToSend[] = {
        {SIGTERM, "SIGTERM"}, {SIGINT, "SIGINT"}, {SIGHUP, "SIGHUP"}};
    int runs = 0;
    for (const auto& [signal, name] : signalsToSend) {
        writeFile(dataFile(QStringLiteral("worklist.log")), preparedPlan);
        auto program = startRunning();
        ASSERT_TRUE(program->endWith(signal)) << name.toStdString();
        ++runs;
        // The plan as it was, the account of this run, the settings: all on disk.
        EXPECT_EQ(readFile(dataFile(QStringLiteral("worklist.log"))), preparedPlan) << name.toStdString();
        const QByteArray debug = readFile(dataFile(QStringLiteral("debug_log.txt")));
        EXPECT_EQ(debug.count("==="), runs);
        EXPECT_TRUE(
            debug.endsWith("Programmende angefordert (" + name + ")\r\n2026-12-07 09:00: Beende Taktplan."))
            << debug.right(120).toStdString();
        EXPECT_TRUE(readFile(dataFile(QStringLiteral("Settings.ini"))).contains("\r\nAutostart=0\r\n"));
    }
}

TEST_F(ProgramTest, PreparedPlanComesBackWithTodaysFinishedUnits) {
    writeFile(dataFile(QStringLiteral("worklist.log")), preparedPlan);
    // Finished earlier today: it joins the list as done, but the plan file keeps only open entries.
    writeFile(dataFile(QStringLiteral("Dezuzedu.log")), "\r\nMo, 07.12.2026 08:00|25 Post lesen [x]");
    auto program = startRunning();
    ASSERT_TRUE(program->endWith(SIGTERM));
    EXPECT_EQ(readFile(dataFile(QStringLiteral("worklist.log"))), preparedPlan);
    EXPECT_EQ(readFile(dataFile(QStringLiteral("Dezuzedu.log"))),
              "\r\nMo, 07.12.2026 08:00|25 Post lesen [x]");
}

TEST_F(ProgramTest, SecondStartEndsAtOnceAndBringsTheFirstForward) {
    auto first = startRunning();

    QElapsedTimer elapsed;
    elapsed.start();
    auto second = run();
    ASSERT_TRUE(second->start());
    ASSERT_TRUE(second->waitForExit(5000));
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_TRUE(second->lines().isEmpty()) << "the second start never came to run its own loop";

    EXPECT_FALSE(first->waitForLine(QStringLiteral("front"), 5000).isNull());
    ASSERT_TRUE(first->endWith(SIGTERM));
    const QByteArray debug = readFile(dataFile(QStringLiteral("debug_log.txt")));
    EXPECT_EQ(debug.count("Zweiter Programmstart: Planungsfenster nach vorne geholt"), 1);
    EXPECT_EQ(debug.count("==="), 1) << "the second start wrote nothing";
}

TEST_F(ProgramTest, AnotherDataFolderIsAnotherInstance) {
    auto first = startRunning();
    QTemporaryDir otherData;
    QProcessEnvironment env = m_env;
    env.insert(QStringLiteral("TAKTPLAN_DATA_DIR"), otherData.path());
    auto other = run(env);
    ASSERT_TRUE(other->start());
    EXPECT_FALSE(other->waitForLine(QStringLiteral("running")).isNull());
    EXPECT_TRUE(other->endWith(SIGTERM));
    EXPECT_TRUE(first->endWith(SIGTERM));
}

TEST_F(ProgramTest, CrashedFirstStartDoesNotBlockTheNext) {
    auto crashed = startRunning();
    crashed->kill(); // SIGKILL: lock file and socket stay behind
    auto next = startRunning();
    EXPECT_TRUE(next->endWith(SIGTERM));

    // And the one that took over answers later starts.
    auto again = startRunning();
    auto second = run();
    ASSERT_TRUE(second->start());
    EXPECT_TRUE(second->waitForExit(5000));
    EXPECT_FALSE(again->waitForLine(QStringLiteral("front"), 5000).isNull());
    EXPECT_TRUE(again->endWith(SIGTERM));
}

TEST_F(ProgramTest, CommandLineAndAutostartSettingDecideTheStart) {
    struct Case {
        QStringList arguments;
        bool autostartSetting;
        bool windowShown;
        bool runEntryKept;
    };
    const QString flag = QStringLiteral("-autostart");
    const Case cases[] = {
        {{flag}, true, false, true},
        {{flag}, false, false, true},
        {{}, true, false, false},
        {{}, false, true, false},
        {{QStringLiteral("-Autostart")}, false, true, false}, // case matters
        {{QStringLiteral("-autostartx")}, false, true, false},
        {{QStringLiteral("x"), flag}, false, true, false}, // only the first argument counts
    };
    for (const Case& c : cases) {
        const QString label =
            c.arguments.join(u' ') + (c.autostartSetting ? QStringLiteral(" Autostart=1") : QString());
        // An empty plan, so the automatic start has nothing to resume.
        writeFile(dataFile(QStringLiteral("Settings.ini")),
                  c.autostartSetting ? "Autostart=1\r\n" : "Autostart=0\r\n");
        writeFile(runEntryFile(), "[Desktop Entry]\n");
        auto program = startRunning(c.arguments);
        EXPECT_EQ(program->lines().value(0), c.windowShown ? QStringLiteral("running planning-window=visible")
                                                           : QStringLiteral("running planning-window=hidden"))
            << label.toStdString();
        EXPECT_EQ(QFile::exists(runEntryFile()), c.runEntryKept) << label.toStdString();
        EXPECT_TRUE(program->endWith(SIGTERM)) << label.toStdString();
    }
}

TEST_F(ProgramTest, WithoutAPlaceForTheLockTheProgramStillStarts) {
    // No runtime folder, and the private temporary folder open to others: no lock is taken.
    const QString tmpdir = m_tmp.filePath(QStringLiteral("shared tmp"));
    const QString own = tmpdir + QStringLiteral("/taktplan-%1").arg(::getuid());
    ASSERT_TRUE(QDir().mkpath(own));
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0755), 0);
    m_env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    m_env.insert(QStringLiteral("TMPDIR"), tmpdir);

    auto program = startRunning();
    ASSERT_TRUE(program->endWith(SIGTERM));
    EXPECT_TRUE(
        readFile(dataFile(QStringLiteral("debug_log.txt")))
            .contains("Einzelinstanz nicht gesichert: kein privater Ordner f\xFCr die Sperrdatei\r\n"));
    EXPECT_TRUE(QDir(own).isEmpty()) << "nothing was put into a folder others can enter";
}

TEST_F(ProgramTest, CatalogueWithoutUtf8IsRefusedAndASignalDuringTheMessageEndsInOrder) {
    // A copy of the program with a French catalogue that declares another character set.
    const QString folder = m_tmp.filePath(QStringLiteral("installed"));
    const QString program = folder + QStringLiteral("/taktplan");
    ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/locale/fr/LC_MESSAGES")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAKTPLAN_EXECUTABLE), program));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString po = m_tmp.filePath(QStringLiteral("fr.po"));
    writeFile(po, "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
                  "msgid \"#Einheiten\"\nmsgstr \"#Unit\xE9s\"\n");
    const QString catalogue = folder + QStringLiteral("/locale/fr/LC_MESSAGES/default.mo");
    ASSERT_EQ(QProcess::execute(QStringLiteral(MSGFMT_EXECUTABLE), {QStringLiteral("-o"), catalogue, po}), 0);

    m_env.insert(QStringLiteral("TAKTPLAN_LANGUAGE"), QStringLiteral("fr"));
    auto run = this->run();
    run->setProgram(program);
    ASSERT_TRUE(run->start());
    EXPECT_EQ(run->waitForLine(QStringLiteral("translation-off ")),
              QStringLiteral("translation-off The translation for the language code fr (in ") + catalogue +
                  QStringLiteral(
                      ") does not have charset=utf-8 in its Content-Type. Translations are turned off."));
    // The message box waits for the user; a log-out now must still end the program in order.
    ASSERT_TRUE(run->endWith(SIGTERM));
    EXPECT_TRUE(run->lines().filter(QStringLiteral("running")).isEmpty()) << "the loop never started";

    const QByteArray debug = readFile(dataFile(QStringLiteral("debug_log.txt")));
    EXPECT_TRUE(debug.endsWith("Programmende angefordert (SIGTERM)\r\n2026-12-07 09:00: Beende Taktplan."))
        << debug.right(200).toStdString();
    // Translation is off: the settings comments stay German.
    const QList<QByteArray> settings = readFile(dataFile(QStringLiteral("Settings.ini"))).split('\n');
    ASSERT_GE(settings.size(), 4);
    EXPECT_EQ(settings[3], "#Einheiten\r");
}
