#include "termination_requests.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

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

    int m_argc = 1;
    char m_name[16] = "platform_tests";
    char* m_argv[2] = {m_name, nullptr};
    QCoreApplication m_app{m_argc, m_argv};
};

} // namespace

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
