#include "start_up_decision.h"

#include <gtest/gtest.h>

TEST(StartUpDecision, FirstArgumentAndAutostartSetting) {
    struct Case {
        QString firstArgument;
        bool autostartSetting;
        bool autostartArgument, show, autoStart, keepRunEntry;
    };
    const Case cases[] = {
        // The four rows of the start-up table.
        {QStringLiteral("-autostart"), true, true, false, true, true},
        {QStringLiteral("-autostart"), false, true, false, true, true},
        {QString(), true, false, false, true, false},
        {QString(), false, false, true, false, false},
        // Compared exactly: another spelling does not count.
        {QStringLiteral("-Autostart"), false, false, true, false, false},
    };
    for (const Case& c : cases) {
        const StartUpDecision d = StartUpDecision::decide(c.firstArgument, c.autostartSetting);
        const std::string label = c.firstArgument.toStdString() + (c.autostartSetting ? " / on" : " / off");
        EXPECT_EQ(d.autostartArgument, c.autostartArgument) << label;
        EXPECT_EQ(d.showPlanningWindow, c.show) << label;
        EXPECT_EQ(d.enableAutoStart, c.autoStart) << label;
        EXPECT_EQ(d.keepRunEntry, c.keepRunEntry) << label;
    }
}
