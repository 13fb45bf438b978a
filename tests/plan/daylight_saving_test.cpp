// The plan across the two clock changes of Europe/Berlin in 2026. Plan times are wall-clock
// times: the plan shows what the clock on the wall will read, and it slides with that reading.
// These tests need the Berlin zone (CTest sets it); the run under another zone leaves them out.

#include "local_zone.h"
#include "plan_fixture.h"

namespace {

using namespace Qt::StringLiterals;

class BerlinDaylightSaving : public PlanTest {
protected:
    void SetUp() override {
        if (!localTimeFollows("Europe/Berlin"))
            GTEST_SKIP() << "needs the local time of Europe/Berlin";
    }
    // Ticks minute by minute; the plan starts at each new wall-clock reading. Returns the
    // first entry's starts.
    QStringList tickMinutes(int count) {
        QStringList firstStarts;
        for (int minute = 0; minute < count; ++minute) {
            tick(60);
            firstStarts.append(list.entries().first().startTime);
            EXPECT_EQ(firstStarts.last(), plantime::formatTime(plantime::now(clock)));
        }
        return firstStarts;
    }
    // A new unit with a start time typed for it.
    void typeStart(const QString& title, const QString& time) {
        addUnit(title);
        EXPECT_TRUE(list.setStartTime(static_cast<int>(titles(list).split(u", "_s).indexOf(title)), time));
    }
    QString dateOf(const QString& title) const {
        return list.entries().value(titles(list).split(u", "_s).indexOf(title)).date;
    }
};

TEST_F(BerlinDaylightSaving, SpringForwardSkipsTheHourAndFixedStartsInItTurnRelative) {
    // Sunday 29.03.2026: at 02:00 CET the clock jumps to 03:00 CEST.
    clock.set(QDate(2026, 3, 29), QTime(1, 50));
    addPlan(u"A/E/-; B/E/-"_s);
    // 02:50 never shows on the clock that day; it is still a valid plan time.
    addPlan(u"In der Lücke/E/29.03.2026 02:50; Danach/E/29.03.2026 04:30"_s);
    EXPECT_EQ(rows(list), goldenRows("spring forward before"));

    // The relative part follows the wall clock straight from 01:59 to 03:00.
    const QStringList firstStarts = tickMinutes(14);
    EXPECT_EQ(firstStarts.mid(8, 2), QStringList({u"01:59"_s, u"03:00"_s}));
    // The first tick after the jump found the skipped fixed start passed: it turned relative
    // and follows B.
    EXPECT_EQ(rows(list), goldenRows("spring forward after"));

    // A start time inside the skipped hour typed after the jump has passed: tomorrow.
    typeStart(u"Zu spät"_s, u"02:30"_s);
    EXPECT_EQ(dateOf(u"Zu spät"_s), u"30.03.2026"_s);
}

TEST_F(BerlinDaylightSaving, FallBackRepeatsTheHourAndThePlanSlidesBack) {
    // Sunday 25.10.2026: at 03:00 CEST the clock goes back to 02:00 CET.
    clock.set(QDate(2026, 10, 25), QTime(1, 50));
    addPlan(u"A/E/-; Fest/E/25.10.2026 02:40; Später/E/25.10.2026 04:30"_s);
    EXPECT_EQ(rows(list), goldenRows("fall back before"));

    // 01:51 ... 02:59 (first pass, CEST), then 02:00 ... 02:10 again (CET). "Fest" turned
    // relative when 02:40 first came (tick 50) and stays relative through the repeat.
    QStringList firstStarts = tickMinutes(49);
    EXPECT_EQ(list.entries().at(1).startMode, u"F"_s);
    firstStarts += tickMinutes(1);
    EXPECT_EQ(list.entries().at(1).startMode, u"R"_s);
    firstStarts += tickMinutes(30);
    EXPECT_EQ(firstStarts.mid(68, 2), QStringList({u"02:59"_s, u"02:00"_s}));
    EXPECT_EQ(rows(list), goldenRows("fall back after"));

    // In the repeated hour a time of that hour that has shown once already is still ahead
    // on the wall clock, so it stays today; an earlier one goes to tomorrow.
    typeStart(u"Gleich"_s, u"02:30"_s);
    typeStart(u"Vorbei"_s, u"02:05"_s);
    EXPECT_EQ(dateOf(u"Gleich"_s), u"25.10.2026"_s);
    EXPECT_EQ(dateOf(u"Vorbei"_s), u"26.10.2026"_s);
}

} // namespace
