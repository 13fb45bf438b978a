#include "single_instance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace {

// Every test gets its own application object, folders and helper processes.
class SingleInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_tmp.isValid());
        ASSERT_TRUE(QDir().mkpath(runtime()));
    }
    void TearDown() override {
        if (m_holder.state() != QProcess::NotRunning) {
            m_holder.kill();
            m_holder.waitForFinished(5000);
        }
    }

    QString dataFolder(const QString& name = QStringLiteral("data")) const { return m_tmp.filePath(name); }
    QString runtime() const { return m_tmp.filePath(QStringLiteral("run")); }

    // Starts the holder process and waits until it holds the lock and listens.
    void startHolder() {
        m_holder.setProgram(QStringLiteral(SINGLE_INSTANCE_HOLDER));
        m_holder.setArguments({dataFolder(), runtime()});
        m_holder.start();
        ASSERT_TRUE(m_holder.waitForStarted(5000));
        ASSERT_TRUE(waitForLine("ready"));
    }

    bool waitForLine(const QByteArray& expected) {
        const QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()) {
            while (m_holder.canReadLine()) {
                if (m_holder.readLine().trimmed() == expected)
                    return true;
            }
            if (!m_holder.waitForReadyRead(static_cast<int>(deadline.remainingTime())))
                break;
        }
        return false;
    }

    // Runs the event loop until the condition holds or a few seconds have passed.
    static bool processEventsUntil(const std::function<bool()>& condition) {
        const QDeadlineTimer deadline(5000);
        while (!condition() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return condition();
    }

    int m_argc = 1;
    char m_name[16] = "platform_tests";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication m_app{m_argc, m_argv};
    QTemporaryDir m_tmp;
    QProcess m_holder;
};

} // namespace

TEST_F(SingleInstanceTest, SecondClaimOnTheSameDataFolderFindsTheFirst) {
    SingleInstance first(dataFolder(), runtime());
    SingleInstance second(dataFolder(), runtime());
    SingleInstance otherFolder(dataFolder(QStringLiteral("portable")), runtime());

    EXPECT_EQ(first.claim(), SingleInstance::Claim::First);
    EXPECT_EQ(second.claim(), SingleInstance::Claim::Running);
    EXPECT_EQ(otherFolder.claim(), SingleInstance::Claim::First) << "another data folder is another instance";
    EXPECT_NE(first.serverName(), otherFolder.serverName());
    EXPECT_EQ(first.serverName(), second.serverName());
    // The same folder spelt differently is still the same folder.
    SingleInstance spelt(dataFolder() + QStringLiteral("/./"), runtime());
    EXPECT_EQ(spelt.claim(), SingleInstance::Claim::Running);
}

TEST_F(SingleInstanceTest, NoUsableRuntimeFolderLetsTheProgramStart) {
    SingleInstance nowhere(dataFolder(), QString());
    EXPECT_EQ(nowhere.claim(), SingleInstance::Claim::Unchecked);
    EXPECT_FALSE(nowhere.listen());

    // A regular file where the runtime folder should be: the lock cannot be made at all.
    QFile blocker(m_tmp.filePath(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    SingleInstance blocked(dataFolder(), blocker.fileName());
    EXPECT_EQ(blocked.claim(), SingleInstance::Claim::Unchecked);
}

TEST_F(SingleInstanceTest, RunningCopyGetsTheFrontRequest) {
    startHolder();
    SingleInstance second(dataFolder(), runtime());
    EXPECT_EQ(second.claim(), SingleInstance::Claim::Running);
    EXPECT_TRUE(second.requestFront(1000));
    EXPECT_TRUE(waitForLine("front"));
    // A second request on a fresh connection is served as well.
    EXPECT_TRUE(second.requestFront(1000));
    EXPECT_TRUE(waitForLine("front"));
}

TEST_F(SingleInstanceTest, SocketIsClosedToOtherUsers) {
    SingleInstance first(dataFolder(), runtime());
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    ASSERT_TRUE(first.listen());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(first.serverName()).constData(), &st), 0)
        << first.serverName().toStdString();
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u);
}

TEST_F(SingleInstanceTest, CrashedCopyDoesNotBlockTheNextStart) {
    startHolder();
    m_holder.kill(); // SIGKILL: the lock file and the socket stay behind as after a crash
    ASSERT_TRUE(m_holder.waitForFinished(5000));

    SingleInstance next(dataFolder(), runtime());
    ASSERT_TRUE(QFileInfo::exists(next.lockFilePath()));
    ASSERT_TRUE(QFileInfo::exists(next.serverName()));
    EXPECT_EQ(next.claim(), SingleInstance::Claim::First);
    ASSERT_TRUE(next.listen()) << "the left-over socket name is taken back";

    int requests = 0;
    QObject::connect(&next, &SingleInstance::frontRequested, [&requests] { ++requests; });
    SingleInstance later(dataFolder(), runtime());
    EXPECT_EQ(later.claim(), SingleInstance::Claim::Running);
    EXPECT_TRUE(later.requestFront(1000));
    EXPECT_TRUE(processEventsUntil([&requests] { return requests == 1; }));
}

TEST_F(SingleInstanceTest, RequestToNobodyGivesUpWithinItsTime) {
    SingleInstance first(dataFolder(), runtime());
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First); // holds the lock but never listens
    SingleInstance second(dataFolder(), runtime());
    ASSERT_EQ(second.claim(), SingleInstance::Claim::Running);
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(second.requestFront(300));
    EXPECT_LT(elapsed.elapsed(), 1000);
}

TEST_F(SingleInstanceTest, OnlyTheFrontLineCounts) {
    SingleInstance first(dataFolder(), runtime());
    ASSERT_EQ(first.claim(), SingleInstance::Claim::First);
    ASSERT_TRUE(first.listen());
    int requests = 0;
    QObject::connect(&first, &SingleInstance::frontRequested, [&requests] { ++requests; });

    const std::pair<QByteArray, int> cases[] = {
        {"front\n", 1},
        {"front\r\n", 1},
        {"hello\nfront\n", 0}, // one request per connection: the first line decides
        {QByteArray(200, 'x') + "\nfront\n", 0},
        {QByteArray(200, 'x'), 0}, // no line at all, only bytes
        {"fron", 0},
    };
    for (const auto& [bytes, expected] : cases) {
        requests = 0;
        QLocalSocket socket;
        socket.connectToServer(first.serverName());
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(bytes);
        ASSERT_TRUE(socket.waitForBytesWritten(1000));
        if (bytes == "fron")
            socket.disconnectFromServer();
        // The server ends every connection, whatever came in.
        EXPECT_TRUE(processEventsUntil([&socket] {
            return socket.state() == QLocalSocket::UnconnectedState;
        })) << bytes.left(20).toStdString();
        EXPECT_EQ(requests, expected) << bytes.left(20).toStdString();
    }
}

TEST(SingleInstanceRuntimeFolder, FallsBackToAPrivateTemporaryFolder) {
    QTemporaryDir tmp;
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qputenv("TMPDIR", tmp.path().toUtf8());

    qputenv("XDG_RUNTIME_DIR", tmp.path().toUtf8());
    EXPECT_EQ(SingleInstance::defaultRuntimeFolder(), tmp.path());

    qunsetenv("XDG_RUNTIME_DIR");
    const QString own = SingleInstance::defaultRuntimeFolder();
    EXPECT_EQ(QFileInfo(own).absolutePath(), tmp.path());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(own).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A folder of that name that others may enter is not used.
    ASSERT_EQ(::chmod(QFile::encodeName(own).constData(), 0755), 0);
    EXPECT_EQ(SingleInstance::defaultRuntimeFolder(), QString());

    if (savedRuntime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", savedRuntime);
    if (savedTmp.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTmp);
}
