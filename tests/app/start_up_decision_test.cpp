#include "start_up_decision.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(StartUpDecision, FirstArgumentAndAutostartSetting) {
    // first argument, Autostart setting -> "-autostart" given, Planning window shown, automatic
    // start, run entry kept (1 for yes)
    const std::tuple<QString, bool, std::string> cases[] = {
        {u"-autostart"_s, true, "1011"}, {u"-autostart"_s, false, "1011"}, {QString(), true, "0010"},
        {QString(), false, "0100"},      {u"-Autostart"_s, false, "0100"}, // compared exactly
    };
    for (const auto& [argument, setting, expected] : cases) {
        const StartUpDecision d = StartUpDecision::decide(argument, setting);
        std::string got;
        for (const bool b : {d.autostartArgument, d.showPlanningWindow, d.enableAutoStart, d.keepRunEntry})
            got += b ? '1' : '0';
        EXPECT_EQ(got, expected) << argument.toStdString() << setting;
    }
}
