#include "termination_signals.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class TerminationSignalsTest : public ::testing::Test {
protected:
    QList<int> deliver(const QList<int>& signalsToRaise) {
        TerminationSignals watcher;
        EXPECT_TRUE(watcher.isActive());
        QList<int> received;
        QObject::connect(&watcher, &TerminationSignals::terminationRequested,
                         [&received](int signal) { received.append(signal); });
        for (int signal : signalsToRaise)
            std::raise(signal);
        const QDeadlineTimer deadline(5000);
        while (received.size() < signalsToRaise.size() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return received;
    }

    int m_argc = 1;
    char m_name[16] = "app_tests";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication m_app{m_argc, m_argv};
};

} // namespace

TEST_F(TerminationSignalsTest, SignalsArriveOnTheEventLoopInOrder) {
    // Without the watcher each of these would end the test process.
    EXPECT_EQ(deliver({SIGTERM}), QList<int>{SIGTERM});
    EXPECT_EQ(deliver({SIGINT, SIGHUP, SIGTERM}), (QList<int>{SIGINT, SIGHUP, SIGTERM}));
}

TEST_F(TerminationSignalsTest, DefaultActionsComeBackAfterwards) {
    { TerminationSignals watcher; }
    struct sigaction current {};
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_EQ(::sigaction(signal, nullptr, &current), 0);
        EXPECT_EQ(current.sa_handler, SIG_DFL) << signal;
    }
}

TEST(TerminationSignalsName, NamesTheSignalsInTheDebugLine) {
    EXPECT_EQ(TerminationSignals::name(SIGTERM), QStringLiteral("SIGTERM"));
    EXPECT_EQ(TerminationSignals::name(SIGINT), QStringLiteral("SIGINT"));
    EXPECT_EQ(TerminationSignals::name(SIGHUP), QStringLiteral("SIGHUP"));
    EXPECT_EQ(TerminationSignals::name(SIGUSR1), QStringLiteral("Signal %1").arg(SIGUSR1));
}
