// The plan across the two clock changes of Europe/Berlin in 2026. Plan times are wall-clock
// times: the plan shows what the clock on the wall will read, and it slides with that reading.
// These tests need TZ=Europe/Berlin (CTest sets it); the run under another zone leaves them out.

#include "plan_fixture.h"

#include <cstdlib>

namespace {

int minutesOf(const QString& hhnn) {
    return QTime::fromString(hhnn, QStringLiteral("HH:mm")).msecsSinceStartOfDay() / 60000;
}

// Sorted by start, and every entry's end is its start plus its length on the wall clock.
void expectConsistent(const Worklist& list, const QString& when) {
    const QList<PlanEntry>& entries = list.entries();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const PlanEntry& e = entries.at(i);
        const int length = e.duration.toInt();
        EXPECT_EQ((minutesOf(e.startTime) + length) % (24 * 60), minutesOf(e.endTime))
            << when.toStdString() << " " << e.displayText.toStdString();
        if (i > 0) {
            EXPECT_LE(Worklist::lvPlanCompare(entries.at(i - 1), e), 0)
                << when.toStdString() << " " << e.displayText.toStdString();
        }
    }
}

class BerlinDaylightSaving : public PlanTest {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        if (!tz || std::string(tz) != "Europe/Berlin")
            GTEST_SKIP() << "needs TZ=Europe/Berlin";
    }
    QString dateOf(const QString& title) const {
        for (const PlanEntry& e : list.entries()) {
            if (e.displayText == title)
                return e.date;
        }
        return QStringLiteral("<missing>");
    }
    // Wall-clock reading of the fake clock.
    QString wallNow() const { return plantime::formatTime(plantime::now(clock)); }
};

TEST_F(BerlinDaylightSaving, SpringForwardSkipsTheHourAndFixedStartsInItTurnRelative) {
    // Sunday 29.03.2026: at 02:00 CET the clock jumps to 03:00 CEST.
    clock.set(QDate(2026, 3, 29), QTime(1, 50));
    addUnit(QStringLiteral("A"));
    addUnit(QStringLiteral("B"));
    // 02:50 never shows on the clock that day; it is still a valid plan time.
    addFixed(QStringLiteral("In der Lücke"), 2, 50);
    addFixed(QStringLiteral("Danach"), 4, 30);
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|01:50|02:15|A|R|E|25| |29.03.2026|"),
                              QStringLiteral("2|02:20|02:45|B|R|E|25| |29.03.2026|"),
                              QStringLiteral("3|02:50|03:15|In der Lücke|F|E|25| |29.03.2026|"),
                              QStringLiteral("4|04:30|04:55|Danach|F|E|25| |29.03.2026|"),
                          }));

    QStringList firstStarts;
    for (int minute = 0; minute < 14; ++minute) {
        tick(60);
        firstStarts.append(list.entries().first().startTime);
        expectConsistent(list, wallNow());
        EXPECT_EQ(list.entries().first().startTime, wallNow());
    }
    // The relative part follows the wall clock straight from 01:59 to 03:00.
    EXPECT_EQ(firstStarts,
              QStringList({QStringLiteral("01:51"), QStringLiteral("01:52"), QStringLiteral("01:53"),
                           QStringLiteral("01:54"), QStringLiteral("01:55"), QStringLiteral("01:56"),
                           QStringLiteral("01:57"), QStringLiteral("01:58"), QStringLiteral("01:59"),
                           QStringLiteral("03:00"), QStringLiteral("03:01"), QStringLiteral("03:02"),
                           QStringLiteral("03:03"), QStringLiteral("03:04")}));
    // The first tick after the jump found the skipped fixed start passed: it turned relative
    // and follows B.
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|03:04|03:29|A|R|E|25| |29.03.2026|"),
                              QStringLiteral("2|03:34|03:59|B|R|E|25| |29.03.2026|"),
                              QStringLiteral("3|04:04|04:29|In der Lücke|R|E|25| |29.03.2026|"),
                              QStringLiteral("4|04:30|04:55|Danach|F|E|25| |29.03.2026|"),
                          }));

    // A fixed time inside the skipped hour entered after the jump has passed: tomorrow.
    addFixed(QStringLiteral("Zu spät"), 2, 30);
    EXPECT_EQ(dateOf(QStringLiteral("Zu spät")), QStringLiteral("30.03.2026"));
}

TEST_F(BerlinDaylightSaving, FallBackRepeatsTheHourAndThePlanSlidesBack) {
    // Sunday 25.10.2026: at 03:00 CEST the clock goes back to 02:00 CET.
    clock.set(QDate(2026, 10, 25), QTime(1, 50));
    addUnit(QStringLiteral("A"));
    addFixed(QStringLiteral("Fest"), 2, 40);
    addFixed(QStringLiteral("Später"), 4, 30);
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|01:50|02:15|A|R|E|25| |25.10.2026|"),
                              QStringLiteral("2|02:40|03:05|Fest|F|E|25| |25.10.2026|"),
                              QStringLiteral("3|04:30|04:55|Später|F|E|25| |25.10.2026|"),
                          }));

    QStringList firstStarts;
    QStringList fixedModes;
    for (int minute = 0; minute < 80; ++minute) {
        tick(60);
        firstStarts.append(list.entries().first().startTime);
        fixedModes.append(list.entries().at(1).startMode);
        expectConsistent(list, wallNow());
        EXPECT_EQ(list.entries().first().startTime, wallNow());
        EXPECT_EQ(list.entries().at(1).displayText, QStringLiteral("Fest"));
    }
    // 01:51 ... 02:59 (first pass, CEST), then 02:00 ... 02:10 again (CET).
    EXPECT_EQ(firstStarts.at(68), QStringLiteral("02:59"));
    EXPECT_EQ(firstStarts.at(69), QStringLiteral("02:00"));
    EXPECT_EQ(firstStarts.last(), QStringLiteral("02:10"));
    // "Fest" turned relative when 02:40 first came and stays relative through the repeat.
    EXPECT_EQ(fixedModes.indexOf(QStringLiteral("R")), 49);
    EXPECT_EQ(fixedModes.mid(49), QStringList(31, QStringLiteral("R")));
    EXPECT_EQ(rows(list), QStringList({
                              QStringLiteral("1|02:10|02:35|A|R|E|25| |25.10.2026|"),
                              QStringLiteral("2|02:40|03:05|Fest|R|E|25| |25.10.2026|"),
                              QStringLiteral("3|04:30|04:55|Später|F|E|25| |25.10.2026|"),
                          }));

    // In the repeated hour a time of that hour that has shown once already is still ahead
    // on the wall clock, so it stays today; an earlier one goes to tomorrow.
    addFixed(QStringLiteral("Gleich"), 2, 30);
    addFixed(QStringLiteral("Vorbei"), 2, 5);
    EXPECT_EQ(dateOf(QStringLiteral("Gleich")), QStringLiteral("25.10.2026"));
    EXPECT_EQ(dateOf(QStringLiteral("Vorbei")), QStringLiteral("26.10.2026"));
}

} // namespace
