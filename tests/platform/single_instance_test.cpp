// The lock and the channel within one process; the e2e tests meet them between real program
// runs (a second start, a killed first one, another data folder).
#include "case_table.h"
#include "scoped_env.h"
#include "single_instance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace Qt::StringLiterals;

TEST(SingleInstance, OneInstancePerDataFolderAnsweringOnlyItsRequestLines) {
    QTemporaryDir tmp;
    const QString data = tmp.filePath(u"data"_s), run = tmp.filePath(u"run"_s);
    ASSERT_TRUE(QDir().mkpath(run));

    SingleInstance first(data, run);
    SingleInstance second(data, run);
    SingleInstance otherFolder(tmp.filePath(u"portable"_s), run);
    EXPECT_TRUE(first.removeLeftovers().isEmpty()) << "without the lock nothing is touched";
    EXPECT_EQ(first.claim(), SingleInstance::Claim::First);
    EXPECT_EQ(second.claim(), SingleInstance::Claim::Running);
    EXPECT_EQ(SingleInstance(data + u"/./"_s, run).claim(), SingleInstance::Claim::Running)
        << "the same folder spelt differently";
    // Links to the folder and to its parent lead to the same files, before and after the first
    // start made the folder.
    ASSERT_TRUE(QFile::link(data, tmp.filePath(u"link"_s)));
    ASSERT_TRUE(QFile::link(tmp.path(), tmp.filePath(u"parent"_s)));
    for (const bool made : {false, true}) {
        if (made) {
            ASSERT_TRUE(QDir().mkpath(data));
        }
        for (const QString& spelling :
             {tmp.filePath(u"link"_s), tmp.filePath(u"parent/data"_s), tmp.filePath(u"parent/link/"_s)}) {
            EXPECT_EQ(SingleInstance(spelling, run).claim(), SingleInstance::Claim::Running)
                << spelling.toStdString() << " made: " << made;
        }
    }
    EXPECT_EQ(otherFolder.claim(), SingleInstance::Claim::First);
    EXPECT_NE(first.serverName(), otherFolder.serverName());
    // A regular file where the runtime folder should be: no lock, but the program may start.
    EXPECT_EQ(SingleInstance(data, first.lockFilePath()).claim(), SingleInstance::Claim::Unchecked);

    // The first holds the lock but does not listen yet: the request gives up within its time.
    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(second.requestFront(300));
    EXPECT_LT(elapsed.elapsed(), 1000);
    elapsed.restart();
    EXPECT_FALSE(second.requestStatus("json", 5000).reached) << "nobody listens: no waiting";
    EXPECT_LT(elapsed.elapsed(), 1000);

    ASSERT_TRUE(first.listen());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(first.serverName()).constData(), &st), 0);
    EXPECT_TRUE(S_ISSOCK(st.st_mode));
    EXPECT_EQ(st.st_mode & 077, 0u) << "closed to other users";
    // What a copy killed between binding and renaming its socket leaves; the live socket stays.
    const QString socketFolder = QFileInfo(first.serverName()).absolutePath();
    ASSERT_NE(socketFolder, run) << "the socket has a folder of its own";
    ASSERT_TRUE(QDir().mkpath(socketFolder + u"/.eKAmfX"_s));
    EXPECT_EQ(first.removeLeftovers(), QStringList(socketFolder + u"/.eKAmfX"_s));
    EXPECT_TRUE(QFileInfo(first.serverName()).exists());

    int requests = 0;
    QObject::connect(&first, &SingleInstance::frontRequested, [&requests] { ++requests; });
    first.setStatusAnswer([](const QByteArray& format) { return "state as " + format; });
    for (const CaseRow& row : caseTable(QStringLiteral(PLATFORM_TEST_DATA "/platform.txt"), u"requests"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        const QByteArray bytes = row[0].toUtf8();
        requests = 0;
        QLocalSocket socket;
        socket.connectToServer(first.serverName());
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(bytes);
        ASSERT_TRUE(socket.waitForBytesWritten(1000));
        if (bytes == "fron")
            socket.disconnectFromServer();
        // The server ends every connection, whatever came in.
        const QDeadlineTimer deadline(5000);
        while (socket.state() != QLocalSocket::UnconnectedState && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_EQ(socket.state(), QLocalSocket::UnconnectedState);
        EXPECT_EQ(requests, row.number(1));
        EXPECT_EQ(socket.readAll(), row[2].toUtf8());
    }
}

TEST(SingleInstance, RuntimeFolderFallsBackToAPrivateTemporaryFolder) {
    QTemporaryDir tmp;
    ScopedEnv env;
    env.set("TMPDIR", tmp.path().toUtf8());
    env.set("XDG_RUNTIME_DIR", tmp.path().toUtf8());
    EXPECT_EQ(SingleInstance::defaultRuntimeFolder(), tmp.path());

    env.set("XDG_RUNTIME_DIR", {});
    env.set("XDG_CACHE_HOME", tmp.filePath(u"cache"_s).toUtf8());
    const QString own = SingleInstance::defaultRuntimeFolder();
    EXPECT_EQ(QFileInfo(own).absolutePath(), tmp.path());
    const auto mode = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0u;
    };
    EXPECT_EQ(mode(own), 0700u);
    // A runtime folder too deep for a socket path: the socket goes to the short private folder.
    const QString deep = tmp.filePath(QString(80, u'x'));
    EXPECT_TRUE(SingleInstance(tmp.filePath(u"data"_s), deep).serverName().startsWith(own + u'/'));

    // A folder of that name that others may enter, or that another user made first, is passed
    // over for one in the cache folder, closed in the same way.
    const QString cache = tmp.filePath(u"cache/taktplan"_s);
    const QByteArray ownName = QFile::encodeName(own);
    const std::pair<mode_t, uid_t> taken[] = {{0755, ::getuid()}, {0700, 65534}};
    for (const auto& [folderMode, owner] : taken) {
        if (owner != ::getuid() && ::getuid() != 0)
            continue; // only root can give a folder away
        ASSERT_EQ(::chmod(ownName.constData(), folderMode), 0);
        ASSERT_EQ(::chown(ownName.constData(), owner, owner), 0);
        EXPECT_EQ(SingleInstance::defaultRuntimeFolder(), cache) << owner;
        EXPECT_EQ(mode(cache), 0700u);
    }
    ASSERT_EQ(::chmod(QFile::encodeName(cache).constData(), 0750), 0);
    EXPECT_EQ(SingleInstance::defaultRuntimeFolder(), QString());
}

TEST(SingleInstance, ALockWithoutALivingHolderIsTakenOver) {
    QTemporaryDir tmp;
    const QString data = tmp.filePath(u"data"_s);
    using C = SingleInstance::Claim;
    // what a killed start left in the lock file, whether another holds the lock, the next claim
    const std::tuple<QByteArray, bool, C> cases[] = {
        {"12", false, C::First}, // killed in the middle of writing
        {"", true, C::Running},  // a holder that has not written yet
        {"", false, C::First},   // a start killed before it wrote
    };
    for (const auto& [content, heldByAnother, expected] : cases) {
        SCOPED_TRACE(testing::Message()
                     << "lock file \"" << content.constData() << "\", held " << heldByAnother);
        SingleInstance holder(data, tmp.path());
        if (heldByAnother) {
            ASSERT_EQ(holder.claim(), C::First);
        }
        // Truncating keeps the holder's file lock on the same file.
        QFile lock(holder.lockFilePath());
        ASSERT_TRUE(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.write(content);
        lock.close();

        SingleInstance next(data, tmp.path());
        EXPECT_EQ(next.claim(), expected);
        if (expected == C::First) {
            EXPECT_EQ(SingleInstance(data, tmp.path()).claim(), C::Running);
        }
    }
}
