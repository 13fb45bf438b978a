// The built program as a user's system runs it: a process with its own data folder, ended by a
// signal or by itself, judged by the files it leaves.
#include "temp_data_folder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

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
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(workingFolder);
    }
    ~ProgramRun() { kill(); }

    bool start(const QStringList& arguments = {},
               const QString& program = QStringLiteral(TAKTPLAN_EXECUTABLE)) {
        m_process.start(program, arguments);
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
        m_process.kill();
        m_process.waitForFinished(10000);
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
        for (const QString& folder : {u"work"_s, u"config"_s, u"run"_s})
            ASSERT_TRUE(QDir().mkpath(m_tmp.filePath(folder)));
        ::chmod(QFile::encodeName(m_tmp.filePath(u"run"_s)).constData(), 0700);
        m_env = QProcessEnvironment::systemEnvironment();
        m_env.remove(u"TAKTPLAN_EXIT_AFTER_SHOWN"_s);
        // Qt's own allocations live until exit; only real faults should fail a run.
        const std::pair<const char*, QString> variables[] = {
            {"TAKTPLAN_DATA_DIR", dataPath()},
            {"TAKTPLAN_FAKE_TIME", u"2026-12-07T09:00:00"_s},
            {"TAKTPLAN_LANGUAGE", u"de"_s},
            {"TAKTPLAN_TRACE_STARTUP", u"1"_s},
            {"QT_QPA_PLATFORM", u"offscreen"_s},
            {"XDG_CONFIG_HOME", m_tmp.filePath(u"config"_s)},
            {"XDG_RUNTIME_DIR", m_tmp.filePath(u"run"_s)},
            {"ASAN_OPTIONS", u"detect_leaks=0"_s},
        };
        for (const auto& [name, value] : variables)
            m_env.insert(QString::fromLatin1(name), value);
    }

    QString dataPath() const { return m_tmp.filePath(u"data"_s); }
    QString dataFile(const QString& name) const { return dataPath() + u'/' + name; }

    std::unique_ptr<ProgramRun> run(const QProcessEnvironment& env) {
        return std::make_unique<ProgramRun>(env, m_tmp.filePath(u"work"_s));
    }
    std::unique_ptr<ProgramRun> run() { return run(m_env); }

    // Starts the program and waits until its event loop runs.
    std::unique_ptr<ProgramRun> startRunning(const QStringList& arguments = {},
                                             const QString& file = QStringLiteral(TAKTPLAN_EXECUTABLE)) {
        auto program = run();
        EXPECT_TRUE(program->start(arguments, file));
        EXPECT_FALSE(program->waitForLine(u"running"_s).isNull()) << program->errorOutput().toStdString();
        return program;
    }

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

TEST_F(ProgramTest, SettingsCommentsFollowTheLanguage) {
    // Without TAKTPLAN_LANGUAGE the locale decides (English where nothing does), as the fourth
    // line of Settings.ini shows. The order of the variables is the translation tests' part.
    for (const QString& name : {u"LANGUAGE"_s, u"LC_MESSAGES"_s, u"TAKTPLAN_LANGUAGE"_s})
        m_env.remove(name);
    m_env.insert(u"LANG"_s, u"de_DE.UTF-8"_s);
    m_env.insert(u"LC_ALL"_s, u"de_DE.UTF-8"_s);
    m_env.insert(u"TAKTPLAN_EXIT_AFTER_SHOWN"_s, u"1"_s);
    auto program = run();
    ASSERT_TRUE(program->start());
    // The start-up measurement reads the milliseconds to the first paint from this line.
    EXPECT_GT(program->waitForLine(u"shown "_s).mid(6).toLongLong(), 0);
    ASSERT_TRUE(program->waitForExit()) << program->errorOutput().toStdString();
    EXPECT_EQ(readBytes(dataFile(u"Settings.ini"_s)).split('\n').value(3), "#Einheiten\r");
}

TEST_F(ProgramTest, FirstStartWritesItsFilesAndTerminationSignalsLoseNothing) {
    writeFile(dataFile(u"worklist.log"_s), preparedPlan);
    // Finished earlier today: it joins the list as done, but the plan file keeps only open entries.
    const QByteArray done = "\r\nMo, 07.12.2026 08:00|25 Post lesen [x]";
    writeFile(dataFile(u"Dezuzedu.log"_s), done);
    const QByteArray golden =
        goldenBytes(QStringLiteral(TAKTPLAN_SOURCE_DIR "/tests/data/settings_defaults.ini"), dataPath());
    int runs = 0;
    for (const auto& [signal, name] :
         {std::pair{SIGTERM, "SIGTERM"}, {SIGINT, "SIGINT"}, {SIGHUP, "SIGHUP"}}) {
        ASSERT_TRUE(startRunning()->endWith(signal)) << name;
        // The account of this run and the settings are on disk, every line ending with CR LF.
        const QByteArray debug = readBytes(dataFile(u"debug_log.txt"_s));
        EXPECT_EQ(debug.count("==="), ++runs);
        EXPECT_TRUE(debug.endsWith(QByteArray("Programmende angefordert (") + name +
                                   ")\r\n2026-12-07 09:00: Beende Taktplan."))
            << debug.right(120).toStdString();
        EXPECT_EQ(debug.count('\n'), debug.count("\r\n"));
        EXPECT_EQ(readBytes(dataFile(u"Settings.ini"_s)), golden);
    }
    EXPECT_EQ(readBytes(dataFile(u"worklist.log"_s)), preparedPlan);
    EXPECT_EQ(readBytes(dataFile(u"Dezuzedu.log"_s)), done);
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
    EXPECT_FALSE(first->waitForLine(u"front"_s, 5000).isNull());

    // Another data folder, another copy.
    QTemporaryDir otherData;
    m_env.insert(u"TAKTPLAN_DATA_DIR"_s, otherData.path());
    EXPECT_TRUE(startRunning()->endWith(SIGTERM));

    ASSERT_TRUE(first->endWith(SIGTERM));
    // The killed run left its account up to the kill, without an end; the second start none.
    const QByteArray debug = readBytes(dataFile(u"debug_log.txt"_s));
    EXPECT_EQ(std::pair(debug.count("==="), debug.count("Beende Taktplan.")),
              std::pair(qsizetype(2), qsizetype(1)));

    // An ordinary end removes the lock.
    EXPECT_TRUE(QDir(m_tmp.filePath(u"run"_s)).entryList({u"taktplan-*.lock"_s}, QDir::Files).isEmpty());
}

TEST_F(ProgramTest, CommandLineAndAutostartSettingDecideTheStart) {
    // Which rows of the start-up table apply is checked with the decision itself; here, that the
    // program acts on it, and that only the first argument counts.
    const QString flag = u"-autostart"_s;
    const QString runEntry = m_tmp.filePath(u"config/autostart/taktplan.desktop"_s);
    // arguments, Autostart setting, the window shown, the run entry kept
    const std::tuple<QStringList, bool, bool, bool> cases[] = {
        {{flag}, false, false, true}, {{}, true, false, false}, {{u"x"_s, flag}, false, true, false}};
    for (const auto& [arguments, autostartSetting, windowShown, runEntryKept] : cases) {
        SCOPED_TRACE(arguments.join(u' ').toStdString() + (autostartSetting ? " Autostart=1" : ""));
        // An empty plan, so the automatic start has nothing to resume.
        writeFile(dataFile(u"Settings.ini"_s), autostartSetting ? "Autostart=1\r\n" : "Autostart=0\r\n");
        writeFile(runEntry, "[Desktop Entry]\n");
        auto program = startRunning(arguments);
        EXPECT_EQ(program->lines().value(0),
                  u"running planning-window="_s + (windowShown ? u"visible"_s : u"hidden"_s));
        // The clock the program runs on, for scripts that restart it where it stopped.
        EXPECT_FALSE(program->waitForLine(u"clock 2026-12-07T09:0"_s, 5000).isEmpty());
        EXPECT_EQ(QFile::exists(runEntry), runEntryKept);
        EXPECT_TRUE(program->endWith(SIGTERM));
    }
}

TEST_F(ProgramTest, CatalogueWithoutUtf8IsRefusedAndASignalDuringTheMessageEndsInOrder) {
    // A copy of the program with a French catalogue that declares another character set.
    const QString folder = m_tmp.filePath(u"installed"_s);
    const QString program = folder + u"/taktplan"_s;
    ASSERT_TRUE(QDir().mkpath(folder + u"/locale/fr/LC_MESSAGES"_s));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAKTPLAN_EXECUTABLE), program));
    ASSERT_TRUE(QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const QString po = m_tmp.filePath(u"fr.po"_s);
    writeFile(po, "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
                  "msgid \"#Einheiten\"\nmsgstr \"#Unit\xE9s\"\n");
    const QString catalogue = folder + u"/locale/fr/LC_MESSAGES/default.mo"_s;
    ASSERT_EQ(QProcess::execute(QStringLiteral(MSGFMT_EXECUTABLE), {u"-o"_s, catalogue, po}), 0);

    m_env.insert(u"TAKTPLAN_LANGUAGE"_s, u"fr"_s);
    auto run = this->run();
    ASSERT_TRUE(run->start({}, program));
    // The reason, as the translation tests have it, with the catalogue's path.
    EXPECT_TRUE(run->waitForLine(u"translation-off "_s)
                    .contains(u"(in "_s + catalogue + u") does not have charset=utf-8"_s));
    // The message box waits for the user; a log-out now must still end the program in order.
    ASSERT_TRUE(run->endWith(SIGTERM));
    EXPECT_TRUE(run->lines().filter(u"running"_s).isEmpty()) << "the loop never started";

    const QByteArray debug = readBytes(dataFile(u"debug_log.txt"_s));
    EXPECT_TRUE(debug.endsWith("Programmende angefordert (SIGTERM)\r\n2026-12-07 09:00: Beende Taktplan."))
        << debug.right(200).toStdString();
}

TEST_F(ProgramTest, AnEndThatCannotWriteItsFilesReportsAndEndsWithoutWaiting) {
    // A folder where the settings file belongs: nothing can replace it.
    ASSERT_TRUE(QDir().mkpath(dataFile(u"Settings.ini"_s)));
    // What copies killed in the middle of a replace left, and a file that only looks alike.
    writeFile(dataFile(u"worklist.log.ebSMgl"_s), "A///25\r\n");
    writeFile(dataFile(u"notes.txt.ebSMgl"_s), "mine");
    auto program = startRunning();
    QElapsedTimer elapsed;
    elapsed.start();
    ASSERT_TRUE(program->endWith(SIGTERM)) << "nobody answers a message at the end";
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_TRUE(
        program->errorOutput().contains("Taktplan: Die Einstellungen konnten nicht gespeichert werden."));
    EXPECT_FALSE(QFile::exists(dataFile(u"worklist.log.ebSMgl"_s)));
    EXPECT_TRUE(QFile::exists(dataFile(u"notes.txt.ebSMgl"_s)));
}

TEST_F(ProgramTest, StatusIsAnsweredByTheRunningCopyAndStartsNone) {
    // The entry program alone, without the full program beside it: what it answers, it answers
    // itself (once a data folder exists; before, it leaves the question to the full program).
    const QString alone = m_tmp.filePath(u"alone/taktplan"_s);
    for (const QString& folder : {dataPath(), m_tmp.filePath(u"alone"_s)})
        ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAKTPLAN_LAUNCHER), alone));
    const auto status = [this](const QStringList& arguments, const QString& program) {
        QProcess client;
        client.setProcessEnvironment(m_env);
        client.start(program, arguments);
        EXPECT_TRUE(client.waitForFinished(10000));
        return std::tuple{client.exitCode(), client.readAllStandardOutput(), client.readAllStandardError()};
    };
    const QString statusFlag = u"--status"_s;
    // arguments, exit status, standard error
    const std::tuple<QStringList, int, QByteArray> refusals[] = {
        {{statusFlag}, 3, "taktplan: Taktplan is not running\n"},
        {{statusFlag, u"--format"_s, u"xml"_s},
         2,
         "taktplan: --format must be text, json or waybar, not: xml\n"},
        {{statusFlag, u"-autostart"_s}, 2, "taktplan: unexpected argument: -autostart\n"},
        {{u"-autostart"_s}, 1, "taktplan: cannot start the program " + QFile::encodeName(alone) + "-app: "},
    };
    for (const QString& program : {QStringLiteral(TAKTPLAN_EXECUTABLE), alone}) {
        for (const auto& [arguments, exitStatus, error] : refusals) {
            if (exitStatus == 1 && program != alone)
                continue;
            const auto [code, out, err] = status(arguments, program);
            EXPECT_EQ(code, exitStatus) << arguments.join(u' ').toStdString() << program.toStdString();
            EXPECT_TRUE(out.isEmpty());
            EXPECT_TRUE(err.startsWith(error)) << err.toStdString();
            EXPECT_EQ(err.count('\n'), exitStatus == 2 ? 2 : 1) << "the usage line after a bad argument";
        }
    }
    EXPECT_TRUE(QDir(m_tmp.filePath(u"run"_s)).entryList({u"taktplan-*.lock"_s}, QDir::Files).isEmpty())
        << "a status question never becomes the running copy";

    // A unit resumed from 09:00 on a clock ten times faster than real time.
    writeFile(dataFile(u"worklist.log"_s), "{{WIP}}Bericht schreiben///25|||09:00 07.12.2026\r\n");
    const double speed = 10;
    m_env.insert(u"TAKTPLAN_TIME_SPEED"_s, QString::number(speed));
    QElapsedTimer sinceStart;
    sinceStart.start();
    // Through the entry program, which hands a start on with its arguments.
    auto program = startRunning({u"-autostart"_s}, QStringLiteral(TAKTPLAN_LAUNCHER));
    // The program's clock is no later than if it had started with the process, and no earlier
    // than it was when we read the line it printed.
    const QDateTime clockAtLine =
        QDateTime::fromString(program->waitForLine(u"clock "_s).mid(6), Qt::ISODateWithMs);
    const qint64 lineRead = sinceStart.elapsed();
    ASSERT_TRUE(clockAtLine.isValid());
    const QDateTime unitEnd(QDate(2026, 12, 7), QTime(9, 25));
    const auto speedUp = [speed](qint64 ms) { return qint64(speed * double(ms) / 1000); };
    QJsonObject answer;
    for (const QDeadlineTimer deadline(10000);
         answer.value(u"phase"_s) != u"unit"_s && !deadline.hasExpired();) {
        const qint64 asked = sinceStart.elapsed();
        const auto [code, out, err] =
            status({statusFlag, u"--format"_s, u"json"_s}, QStringLiteral(TAKTPLAN_EXECUTABLE));
        ASSERT_EQ(code, 0) << err.toStdString();
        answer = QJsonDocument::fromJson(out).object();
        if (answer.value(u"phase"_s) == u"unit"_s) {
            const qint64 remaining = answer.value(u"remaining_seconds"_s).toInteger();
            const qint64 latest = clockAtLine.secsTo(unitEnd) - speedUp(asked - lineRead);
            const qint64 earliest = 25 * 60 - speedUp(sinceStart.elapsed());
            EXPECT_LE(remaining, latest + 2) << out.toStdString();
            EXPECT_GE(remaining, earliest - 2) << out.toStdString();
            EXPECT_EQ(answer.value(u"title"_s), u"Bericht schreiben"_s);
            EXPECT_EQ(answer.value(u"ends_at"_s), u"2026-12-07T09:25:00"_s);
        }
    }
    ASSERT_EQ(answer.value(u"phase"_s), u"unit"_s) << "the resumed unit runs";
    const auto [code, out, err] = status({statusFlag, u"--format=text"_s}, alone);
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(QString::fromUtf8(out).startsWith(u"▶ Bericht schreiben "_s)) << out.toStdString();
    EXPECT_TRUE(out.endsWith(" · 0/1\n")) << out.toStdString();
    // A log-on starts the entry program, like the desktop file.
    EXPECT_TRUE(readBytes(m_tmp.filePath(u"config/autostart/taktplan.desktop"_s))
                    .contains("Exec=\"" TAKTPLAN_LAUNCHER "\" -autostart\n"));
    EXPECT_TRUE(program->endWith(SIGTERM));
}
