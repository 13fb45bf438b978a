#include "termination_requests.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <windows.h>

namespace {

TEST(TerminationRequests, ConsoleBreakArrivesOnTheEventLoop) {
    TerminationRequests watcher;
    ASSERT_TRUE(watcher.isActive());
    EXPECT_FALSE(TerminationRequests::requested());
    QList<int> received;
    QObject::connect(&watcher, &TerminationRequests::terminationRequested,
                     [&received](int request) { received.append(request); });
    // Wine keeps no console of its own for a program started from a Unix shell.
    if (!GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, 0))
        GTEST_SKIP() << "no console to raise a Ctrl+Break in (error " << GetLastError() << ")";
    const QDeadlineTimer deadline(5000);
    while (received.isEmpty() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(TerminationRequests::requested());
    EXPECT_EQ(received, QList<int>{CTRL_BREAK_EVENT});
    EXPECT_EQ(TerminationRequests::name(CTRL_BREAK_EVENT), QStringLiteral("CTRL_BREAK_EVENT"));
}

} // namespace
