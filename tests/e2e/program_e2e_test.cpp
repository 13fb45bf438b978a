// The built program as a user's system runs it: a process with its own data folder, ended by a
// signal or by itself, judged by the files it leaves.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <tuple>
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

// One run of the built program as a separate process. Whatever happens in a test, the process
// is killed when this goes out of scope: no test leaves a program behind.
class ProgramRun {
public:
    ProgramRun(const QProcessEnvironment& environment, const QString& workingFolder) {
        m_process.setProgram(QStringLiteral(TAKTPLAN_EXECUTABLE));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(workingFolder);
    }
    ~ProgramRun() { kill(); }
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    void setProgram(const QString& path) { m_process.setProgram(path); }
    bool start(const QStringList& arguments = {}) {
        m_process.setArguments(arguments);
        m_process.start();
        return m_process.waitForStarted(10000);
    }
    // The next line of standard output that starts with prefix, or a null string after timeoutMs.
    QString waitForLine(const QString& prefix, int timeoutMs = 20000) {
        const QDeadlineTimer deadline(timeoutMs);
        while (true) {
            readLines();
            for (; m_consumed < m_lines.size(); ++m_consumed) {
                if (m_lines[m_consumed].startsWith(prefix))
                    return m_lines[m_consumed++];
            }
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return {};
            m_process.waitForReadyRead(static_cast<int>(qMin<qint64>(100, deadline.remainingTime())));
        }
    }
    // Sends the signal; true when the program then ends by itself with status 0.
    bool endWith(int signal) {
        return m_process.state() != QProcess::NotRunning &&
               ::kill(static_cast<pid_t>(m_process.processId()), signal) == 0 && waitForExit();
    }
    bool waitForExit(int timeoutMs = 20000) {
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(timeoutMs))
            return false;
        readLines();
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    void kill() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(10000);
        }
    }
    // All standard output read so far, lines taken by waitForLine included.
    const QStringList& lines() const { return m_lines; }
    QByteArray errorOutput() { return m_process.readAllStandardError(); }

private:
    void readLines() {
        while (m_process.canReadLine())
            m_lines.append(QString::fromLocal8Bit(m_process.readLine()).trimmed());
    }

    QProcess m_process;
    QStringList m_lines;
    qsizetype m_consumed = 0;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        for (const char* folder : {"work", "config", "run"})
            ASSERT_TRUE(QDir().mkpath(m_tmp.filePath(QString::fromLatin1(folder))));
        ::chmod(QFile::encodeName(m_tmp.filePath(QStringLiteral("run"))).constData(), 0700);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.remove(QStringLiteral("TAKTPLAN_EXIT_AFTER_SHOWN"));
        // Qt's own allocations live until exit; only real faults should fail a run.
        const std::pair<const char*, QString> variables[] = {
            {"TAKTPLAN_DATA_DIR", dataPath()},
            {"TAKTPLAN_FAKE_TIME", QStringLiteral("2026-12-07T09:00:00")},
            {"TAKTPLAN_LANGUAGE", QStringLiteral("de")},
            {"TAKTPLAN_TRACE_STARTUP", QStringLiteral("1")},
            {"QT_QPA_PLATFORM", QStringLiteral("offscreen")},
            {"XDG_CONFIG_HOME", m_tmp.filePath(QStringLiteral("config"))},
            {"XDG_RUNTIME_DIR", m_tmp.filePath(QStringLiteral("run"))},
            {"ASAN_OPTIONS", QStringLiteral("detect_leaks=0")},
        };
        for (const auto& [name, value] : variables)
            m_env.insert(QString::fromLatin1(name), value);
    }

    QString dataPath() const { return m_tmp.filePath(QStringLiteral("data")); }
    QString dataFile(const QString& name) const { return dataPath() + u'/' + name; }

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
    for (const QByteArray& line : debug.split('\n'))
        EXPECT_TRUE(line.endsWith('\r') || line.endsWith("Beende Taktplan.")) << "every line ends with CR LF";
}

TEST_F(ProgramTest, SettingsCommentsFollowTheLanguage) {
    const std::tuple<const char*, const char*, QByteArray> cases[] = {
        // TAKTPLAN_LANGUAGE (null: none), LANG and LC_ALL, the fourth line of Settings.ini
        {"en", "C.UTF-8", "#Units\r"},
        {"fr", "C.UTF-8", "#Units\r"}, // no catalogue: English
        {nullptr, "de_DE.UTF-8", "#Einheiten\r"},
    };
    for (const auto& [language, lang, line4] : cases) {
        QTemporaryDir data;
        QProcessEnvironment env = m_env;
        for (const char* name : {"LANGUAGE", "LC_MESSAGES", "TAKTPLAN_LANGUAGE"})
            env.remove(QString::fromLatin1(name));
        if (language)
            env.insert(QStringLiteral("TAKTPLAN_LANGUAGE"), QString::fromLatin1(language));
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(lang));
        env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(lang));
        env.insert(QStringLiteral("TAKTPLAN_DATA_DIR"), data.path());
        env.insert(QStringLiteral("TAKTPLAN_EXIT_AFTER_SHOWN"), QStringLiteral("1"));
        auto program = run(env);
        ASSERT_TRUE(program->start());
        // The start-up measurement reads the milliseconds to the first paint from this line.
        EXPECT_GT(program->waitForLine(QStringLiteral("shown ")).mid(6).toLongLong(), 0) << lang;
        ASSERT_TRUE(program->waitForExit()) << program->errorOutput().toStdString();
        EXPECT_EQ(readFile(data.filePath(QStringLiteral("Settings.ini"))).split('\n').value(3), line4)
            << lang;
    }
}

TEST_F(ProgramTest, PreparedPlanComesBackAndTerminationSignalsLoseNothing) {
    writeFile(dataFile(QStringLiteral("worklist.log")), preparedPlan);
    // Finished earlier today: it joins the list as done, but the plan file keeps only open entries.
    const QByteArray done = "\r\nMo, 07.12.2026 08:00|25 Post lesen [x]";
    writeFile(dataFile(QStringLiteral("Dezuzedu.log")), done);
    int runs = 0;
    for (const auto& [signal, name] :
         {std::pair{SIGTERM, "SIGTERM"}, {SIGINT, "SIGINT"}, {SIGHUP, "SIGHUP"}}) {
        auto program = startRunning();
        ASSERT_TRUE(program->endWith(signal)) << name;
        // The account of this run and the settings are on disk.
        const QByteArray debug = readFile(dataFile(QStringLiteral("debug_log.txt")));
        EXPECT_EQ(debug.count("==="), ++runs);
        EXPECT_TRUE(debug.endsWith(QByteArray("Programmende angefordert (") + name +
                                   ")\r\n2026-12-07 09:00: Beende Taktplan."))
            << debug.right(120).toStdString();
        EXPECT_TRUE(readFile(dataFile(QStringLiteral("Settings.ini"))).contains("\r\nAutostart=0\r\n"));
    }
    EXPECT_EQ(readFile(dataFile(QStringLiteral("worklist.log"))), preparedPlan);
    EXPECT_EQ(readFile(dataFile(QStringLiteral("Dezuzedu.log"))), done);
}

TEST_F(ProgramTest, OneRunningCopyPerDataFolderAndACrashedOneBlocksNothing) {
    auto crashed = startRunning();
    crashed->kill(); // SIGKILL: lock file and socket stay behind
    auto first = startRunning();

    QElapsedTimer elapsed;
    elapsed.start();
    auto second = run();
    ASSERT_TRUE(second->start());
    ASSERT_TRUE(second->waitForExit(5000)) << "ends by itself with status 0";
    EXPECT_LT(elapsed.elapsed(), 1000);
    EXPECT_TRUE(second->lines().isEmpty()) << "the second start never came to run its own loop";
    EXPECT_FALSE(first->waitForLine(QStringLiteral("front"), 5000).isNull());

    QTemporaryDir otherData;
    QProcessEnvironment env = m_env;
    env.insert(QStringLiteral("TAKTPLAN_DATA_DIR"), otherData.path());
    auto other = run(env);
    ASSERT_TRUE(other->start());
    EXPECT_FALSE(other->waitForLine(QStringLiteral("running")).isNull())
        << "another data folder, another copy";
    EXPECT_TRUE(other->endWith(SIGTERM));

    ASSERT_TRUE(first->endWith(SIGTERM));
    const QByteArray debug = readFile(dataFile(QStringLiteral("debug_log.txt")));
    EXPECT_EQ(debug.count("Zweiter Programmstart: Planungsfenster nach vorne geholt"), 1);
    EXPECT_EQ(debug.count("==="), 1) << "the second start wrote nothing (a killed run cannot)";
}

TEST_F(ProgramTest, CommandLineAndAutostartSettingDecideTheStart) {
    struct Case {
        QStringList arguments;
        bool autostartSetting;
        bool windowShown;
        bool runEntryKept;
    };
    const QString flag = QStringLiteral("-autostart");
    const QString runEntry = m_tmp.filePath(QStringLiteral("config/autostart/taktplan.desktop"));
    const Case cases[] = {
        {{flag}, true, false, true},
        {{flag}, false, false, true},
        {{}, true, false, false},
        {{}, false, true, false},
        {{QStringLiteral("x"), flag}, false, true, false}, // only the first argument counts
    };
    for (const Case& c : cases) {
        const QString label =
            c.arguments.join(u' ') + (c.autostartSetting ? QStringLiteral(" Autostart=1") : QString());
        // An empty plan, so the automatic start has nothing to resume.
        writeFile(dataFile(QStringLiteral("Settings.ini")),
                  c.autostartSetting ? "Autostart=1\r\n" : "Autostart=0\r\n");
        writeFile(runEntry, "[Desktop Entry]\n");
        auto program = startRunning(c.arguments);
        EXPECT_EQ(program->lines().value(0), c.windowShown ? QStringLiteral("running planning-window=visible")
                                                           : QStringLiteral("running planning-window=hidden"))
            << label.toStdString();
        EXPECT_EQ(QFile::exists(runEntry), c.runEntryKept) << label.toStdString();
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
}

TEST_F(ProgramTest, AnEndThatCannotWriteItsFilesReportsAndEndsWithoutWaiting) {
    // A folder where the settings file belongs: nothing can replace it.
    ASSERT_TRUE(QDir().mkpath(dataFile(QStringLiteral("Settings.ini"))));
    // What copies killed in the middle of a replace left, and a file that only looks alike.
    writeFile(dataFile(QStringLiteral("worklist.log.ebSMgl")), "A///25\r\n");
    writeFile(dataFile(QStringLiteral("notes.txt.ebSMgl")), "mine");
    auto program = startRunning();
    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(program->endWith(SIGTERM)) << "nobody answers a message at the end";
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_TRUE(
        program->errorOutput().contains("Taktplan: Die Einstellungen konnten nicht gespeichert werden."));
    const QByteArray debug = readFile(dataFile(QStringLiteral("debug_log.txt")));
    EXPECT_TRUE(debug.contains("Speichern der Einstellungen fehlgeschlagen: "))
        << debug.right(300).toStdString();
    EXPECT_TRUE(debug.contains("Reste abgebrochener Speichervorg\xE4nge entfernt: worklist.log.ebSMgl\r\n"));
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("worklist.log.ebSMgl"))));
    EXPECT_TRUE(QFile::exists(dataFile(QStringLiteral("notes.txt.ebSMgl"))));
}

TEST_F(ProgramTest, AnEmptyLockFileLeftByAKilledStartBlocksNothing) {
    // Created by a start killed before it could write into it.
    const QString runFolder = m_tmp.filePath(QStringLiteral("run"));
    auto first = startRunning();
    ASSERT_TRUE(first->endWith(SIGTERM));
    ASSERT_TRUE(QDir(runFolder).entryList({QStringLiteral("taktplan-*.lock")}, QDir::Files).isEmpty());
    auto probe = startRunning();
    const QStringList locks = QDir(runFolder).entryList({QStringLiteral("taktplan-*.lock")}, QDir::Files);
    ASSERT_EQ(locks.size(), 1);
    probe->kill();
    writeFile(runFolder + u'/' + locks.front(), "");

    auto next = startRunning();
    EXPECT_TRUE(next->endWith(SIGTERM));
}
