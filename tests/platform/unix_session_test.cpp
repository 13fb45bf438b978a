// The session services of a Unix desktop: the autostart entry as an XDG desktop file, and the
// requests to end as signals.
#include "autostart_entry.h"
#include "case_table.h"
#include "linux/xdg_autostart_entry.h"
#include "scoped_env.h"
#include "temp_data_folder.h"
#include "termination_requests.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>

using namespace Qt::StringLiterals;

namespace {

TEST(AutostartEntry, CommandLinesQuoteThePathForTheirReader) {
    EXPECT_EQ(AutostartEntry::commandLine(u"/opt/Takt plan/taktplan"_s),
              u"\"/opt/Takt plan/taktplan\" -autostart"_s);
    for (const CaseRow& row : caseTable(QStringLiteral(PLATFORM_TEST_DATA "/platform.txt"), u"exec values"_s))
        EXPECT_EQ(XdgAutostartEntry::execValue(row[0]), row[1]) << row.where.toStdString();
}

TEST(XdgAutostartEntry, WriteAndRemoveTheEntryUnderXdgConfigHome) {
    TempDataFolder tmp;
    ScopedEnv env;
    env.set("XDG_CONFIG_HOME", tmp.filePath(u"fresh config"_s).toUtf8());
    const QString file = tmp.filePath(u"fresh config/autostart/taktplan.desktop"_s);
    EXPECT_EQ(XdgAutostartEntry::defaultFilePath(), file);
    const std::unique_ptr<AutostartEntry> entry = AutostartEntry::forProgram(u"/opt/täkt plan/taktplan"_s);

    EXPECT_FALSE(entry->exists());
    EXPECT_TRUE(entry->remove()) << "removing a missing entry is no error";
    // Twice: writing again replaces the entry instead of adding to it.
    ASSERT_TRUE(entry->write());
    ASSERT_TRUE(entry->write());
    EXPECT_TRUE(entry->exists());
    // UTF-8 with LF line ends, as desktops read it.
    EXPECT_EQ(readBytes(file), QStringLiteral("[Desktop Entry]\nType=Application\nName=Taktplan\n"
                                              "Comment=Resumes the running plan after log-on\n"
                                              "Exec=\"/opt/täkt plan/taktplan\" -autostart\nIcon=taktplan\n"
                                              "Terminal=false\nX-GNOME-Autostart-enabled=true\n")
                                   .toUtf8());
    EXPECT_TRUE(entry->remove());
    EXPECT_FALSE(entry->exists());
    EXPECT_FALSE(QFile::exists(file));

    // Relative values are invalid by the XDG rules and fall back to ~/.config.
    const QString home = QDir::home().filePath(u".config/autostart/taktplan.desktop"_s);
    env.set("XDG_CONFIG_HOME", "relative/config");
    EXPECT_EQ(XdgAutostartEntry::defaultFilePath(), home);
    env.set("XDG_CONFIG_HOME", {});
    EXPECT_EQ(XdgAutostartEntry::defaultFilePath(), home);

    // A regular file where the config folder should be: no autostart folder can be made.
    tmp.write(u"config"_s, "not a folder");
    XdgAutostartEntry blocked(tmp.filePath(u"config/autostart/taktplan.desktop"_s), u"/usr/bin/taktplan"_s);
    EXPECT_FALSE(blocked.write());
    EXPECT_FALSE(blocked.exists());
    EXPECT_TRUE(blocked.remove());
    EXPECT_EQ(tmp.read(u"config"_s), QByteArray("not a folder"));
}

class TerminationRequestsTest : public ::testing::Test {
protected:
    QList<int> deliver(const QList<int>& signalsToRaise) {
        TerminationRequests watcher;
        EXPECT_TRUE(watcher.isActive());
        EXPECT_FALSE(TerminationRequests::requested()) << "each watcher starts without a request";
        QList<int> received;
        QObject::connect(&watcher, &TerminationRequests::terminationRequested,
                         [&received](int signal) { received.append(signal); });
        for (int signal : signalsToRaise)
            std::raise(signal);
        const QDeadlineTimer deadline(5000);
        // Long work polls the flag without running the event loop: it is set at once.
        EXPECT_EQ(TerminationRequests::requested(), !signalsToRaise.isEmpty());
        while (received.size() < signalsToRaise.size() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return received;
    }
};

TEST_F(TerminationRequestsTest, SignalsArriveOnTheEventLoopInOrder) {
    // Without the watcher each of these would end the test process.
    EXPECT_EQ(deliver({}), QList<int>{});
    EXPECT_EQ(deliver({SIGTERM}), QList<int>{SIGTERM});
    EXPECT_EQ(deliver({SIGINT, SIGHUP, SIGTERM}), (QList<int>{SIGINT, SIGHUP, SIGTERM}));
    // Once the watcher is gone, the default actions are back.
    struct sigaction current {};
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_EQ(::sigaction(signal, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << signal;
    }
}

} // namespace
