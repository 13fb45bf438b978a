// The Planning window's side of a running plan: F9 and the automatic start reach the plan
// runner, and the window does what the running plan asks of it.

#include "tooltip_delay.h"
#include "window_fixture.h"

#include <QAction>
#include <QMenuBar>

namespace {

class PlanningViewTest : public WindowTest {
protected:
    // The window as the program creates it, with the runner's commands counted.
    void openWithRunner() {
        adjustServices = [this](WorklistServices& services) {
            services.startCommand = [this] { ++starts; };
            services.autoStartCommand = [this] { ++autoStarts; };
        };
        open();
    }
    QAction* startItem() const { return window->menuBar()->actions().at(2); }

    int starts = 0;
    int autoStarts = 0;
};

TEST_F(PlanningViewTest, F9ReachesTheRunnerAsTheStartItemAllows) {
    struct Case {
        const char* what;
        const char* caption;
        bool enabled;
        bool listMenuAll;
        bool focusInList;
        int starts;
    };
    const Case cases[] = {
        {"planning, in the input field", "Start", true, true, false, 1},
        {"planning, in the list", "Start", true, true, true, 1},
        {"running, re-planning allowed", "Neu planen (2)", true, false, false, 1},
        {"no re-planning left, input field", "Neu planen (0)", false, false, false, 0},
        // The list's own F9 is never disabled.
        {"no re-planning left, in the list", "Neu planen (0)", false, false, true, 1},
    };
    openWithRunner();
    for (const Case& c : cases) {
        starts = 0;
        engine.isActive = !c.listMenuAll; // a plan runs when the runner restricted the list menu
        window->setStartItem(QString::fromUtf8(c.caption), c.enabled);
        window->setListMenuEnabled(c.listMenuAll);
        window->setInputVisible(true);
        if (c.focusInList)
            list()->setFocus(Qt::OtherFocusReason);
        else
            edit()->setFocus(Qt::OtherFocusReason);
        key(Qt::Key_F9);
        EXPECT_EQ(starts, c.starts) << c.what;
        EXPECT_EQ(startItem()->text(), QString::fromUtf8(c.caption)) << c.what;
        const QAction* del = window->findChild<QMenu*>(QStringLiteral("pmWorklistEdit"))->actions().at(3);
        EXPECT_EQ(del->isEnabled(), c.listMenuAll) << c.what;
    }
    // No debounce of its own: the runner has one.
    engine.isActive = false;
    starts = 0;
    window->setStartItem(QStringLiteral("Start"), true);
    edit()->setFocus(Qt::OtherFocusReason);
    key(Qt::Key_F9);
    key(Qt::Key_F9);
    EXPECT_EQ(starts, 2);

    window->enableAutoStart();
    EXPECT_TRUE(waitFor([this] { return autoStarts == 1; }));
    EXPECT_FALSE(timer(QStringLiteral("tmrAutoStart"))->isActive());
}

TEST_F(PlanningViewTest, RunningPlanRequests) {
    openWithRunner();
    for (const int delay : {0, 500}) {
        window->setTooltipDelay(delay);
        EXPECT_EQ(applicationTooltipDelay(), delay);
    }
    QTimer* focusLock = timer(QStringLiteral("tmrFocusLock"));
    QTimer* captionBlink = timer(QStringLiteral("tmrCaptionBlinken"));
    window->startFocusLock();
    window->startCaptionBlink();
    EXPECT_TRUE(focusLock->isActive() && captionBlink->isActive());
    window->stopFocusLock();
    window->stopCaptionBlink();
    EXPECT_FALSE(focusLock->isActive() || captionBlink->isActive());
    // The dialog guard, released, brings the focus lock back.
    window->releaseDialogGuard();
    EXPECT_TRUE(focusLock->isActive());

    window->hideWindow();
    EXPECT_FALSE(window->isVisible());
    window->move(0, 0);
    window->showCentred();
    EXPECT_TRUE(window->isVisible());
    const QPoint centre = window->screen()->availableGeometry().center();
    EXPECT_LE((window->geometry().center() - centre).manhattanLength(), 4);
}

} // namespace
