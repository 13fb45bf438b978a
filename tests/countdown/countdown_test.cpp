// The countdown overlay: its texts and placement as plain functions, its behaviour on a fake
// clock, and the real window offscreen.

#include "case_table.h"
#include "countdown_logic.h"
#include "fake_clock.h"
#include "fake_platform_services.h"
#include "tf_countdown.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include <tuple>

using namespace Qt::StringLiterals;

namespace {

using LabelId = CountdownLogic::LabelId;

// --- texts and placement -----------------------------------------------------------------

const QString dataFile = QStringLiteral(COUNTDOWN_TEST_DATA "/countdown_cases.txt");

TEST(CountdownTexts, RemainingTime) {
    for (const CaseRow& row : caseTable(dataFile, u"remaining"_s))
        EXPECT_EQ(countdown::remainingText(row.number(0)), row[1]) << row.where.toStdString();
}

TEST(CountdownTexts, CaptionLine) {
    for (const CaseRow& row : caseTable(dataFile, u"caption"_s)) {
        const qint64 remainingMs = row[2].toLongLong();
        EXPECT_EQ(countdown::captionText(row.number(0), row.number(1), remainingMs, 25 * 60'000,
                                         remainingMs / 1000),
                  row[3])
            << row.where.toStdString();
    }
}

TEST(CountdownPlacement, LargestEdgesOfAllMonitors) {
    for (const CaseRow& row : caseTable(dataFile, u"placement"_s)) {
        QList<QRect> monitors;
        for (const QString& m : row[0].split(u" ; "_s, Qt::SkipEmptyParts)) {
            const QStringList n = m.split(u',');
            monitors.append(
                QRect(n.value(0).toInt(), n.value(1).toInt(), n.value(2).toInt(), n.value(3).toInt()));
        }
        const countdown::ScreenEdges edges = countdown::screenEdges(monitors);
        EXPECT_EQ(std::tuple(edges.right, edges.bottom, countdown::stripTop(edges)),
                  std::tuple(row.number(1), row.number(2), row.number(3)))
            << row.where.toStdString();
    }
}

// --- behaviour on a fake clock ----------------------------------------------------------

struct FakeSource final : CountdownSource {
    qint64 remainingSeconds() const override { return remainingMsValue / 1000; }
    qint64 remainingMs() const override { return remainingMsValue; }
    qint64 entryLengthMs() const override { return lengthMs; }
    bool unitRunning() const override { return unit; }
    QString unitTitle() const override { return title; }
    QDateTime unitEnd() const override { return end; }
    QString nextPendingTitle() const override { return next; }
    QDateTime nextPendingStart() const override { return nextStart; }
    bool soundsOn() const override { return sounds; }

    qint64 remainingMsValue = 59'000;
    qint64 lengthMs = 25 * 60'000;
    bool unit = false;
    QString title = u"Bericht schreiben"_s;
    QDateTime end = QDateTime(QDate(2026, 12, 7), QTime(10, 25));
    QString next = u"Mails"_s;
    QDateTime nextStart = QDateTime(QDate(2026, 12, 7), QTime(10, 30));
    bool sounds = true;
};

class CountdownLogicTest : public ::testing::Test {
protected:
    CountdownLogicTest()
        : logic(CountdownLogic::Services{clock, player, [this] { return monitors; },
                                         [](LabelId, const QString& text) { return 7 * int(text.size()); },
                                         [](const QString& name) { return u"Sounds/"_s + name; }}) {
        logic.setSource(&source);
    }

    // Runs the animation for ms as the window's timers would: slides and refresh every 10 ms,
    // blinking every 150 ms, the display time once it is over.
    void run(qint64 ms) {
        for (qint64 t = countdown::animationMs; t <= ms; t += countdown::animationMs) {
            if (logic.displayRestarts() != restarts) {
                restarts = logic.displayRestarts();
                displayFrom = clock.tickMs();
            }
            clock.advanceMs(countdown::animationMs);
            source.remainingMsValue -= countdown::animationMs;
            logic.slideInTick();
            logic.slideOutTick();
            if (logic.refreshing())
                logic.refreshTick();
            if (logic.flashing() && t % countdown::flashMs == 0) {
                logic.flashTick();
                flashes.append(logic.label(LabelId::Zeit).visible);
            }
            if (logic.displayTimerRunning() && clock.tickMs() - displayFrom >= logic.displayMs())
                logic.displayTimeOver();
        }
    }
    QString text(LabelId id) const { return logic.label(id).text; }

    FakeClock clock;
    FakeSoundPlayer player;
    QList<QRect> monitors{QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    FakeSource source;
    CountdownLogic logic;
    int restarts = 0;
    qint64 displayFrom = 0;
    QList<bool> flashes;
};

TEST_F(CountdownLogicTest, AnnouncesTheNextEntrySlidesInAndOutAgain) {
    logic.show(4000);
    ASSERT_TRUE(logic.visible());
    EXPECT_TRUE(logic.announce());
    EXPECT_EQ(text(LabelId::Title), u"Mails"_s);
    EXPECT_EQ(text(LabelId::Time), u"10:30 Uhr"_s);
    EXPECT_EQ(text(LabelId::Zeit), u"0:59"_s);
    // Starts just outside the right edge, centred on half the larger bottom edge.
    const int width = logic.geometry().width();
    EXPECT_EQ(logic.geometry(), QRect(3200, 516, width, 49));
    // Layout: texts right of the time, the time of day 7 px from the right end.
    EXPECT_EQ(logic.label(LabelId::Title).left, 118);
    EXPECT_EQ(logic.label(LabelId::Time).left + logic.label(LabelId::Time).width + 7, width);
    EXPECT_GE(logic.label(LabelId::Time).left, logic.label(LabelId::Caption).left + 120);

    run(10);
    EXPECT_EQ(text(LabelId::Caption), u"Sekunden bis:"_s);
    EXPECT_EQ(logic.geometry().x(), 3195);
    run(2000);
    EXPECT_EQ(logic.geometry().x(), 3200 - width);
    EXPECT_FALSE(logic.slidingIn());
    EXPECT_EQ(text(LabelId::Zeit), u"0:56"_s);

    // A second request while shown changes nothing.
    logic.show(7000);
    EXPECT_EQ(logic.displayRestarts(), 1);

    run(1990); // the display time is over: out at 30 px a tick
    ASSERT_TRUE(logic.slidingOut());
    run(10);
    EXPECT_EQ(logic.geometry().x(), 3200 - width + 30);
    run(1000);
    EXPECT_FALSE(logic.visible());
    EXPECT_FALSE(logic.slidingOut());
    EXPECT_FALSE(logic.refreshing());

    // Not dismissed: the next request shows it again at once.
    logic.show(4000);
    EXPECT_TRUE(logic.visible());
}

TEST_F(CountdownLogicTest, DismissalKeepsItAwayForTenSeconds) {
    for (const CaseRow& row : caseTable(dataFile, u"dismissal"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        if (row.number(0))
            logic.show(4000);
        logic.dismiss();
        EXPECT_TRUE(logic.slidingOut());
        run(row.number(1));
        ASSERT_FALSE(logic.visible());
        logic.show(4000);
        EXPECT_EQ(logic.visible(), bool(row.number(2)));
        logic.windowHidden();
        run(20'000);
    }
}

TEST_F(CountdownLogicTest, SlidingOutEndsSevenSecondsAfterItAppeared) {
    // A strip far too wide to slide out in time, on a monitor wide enough to hold it.
    monitors = {QRect(0, 0, 10'000, 1080)};
    source.next = QString(600, u'x');
    logic.show(0);
    run(6900);
    logic.displayTimeOver();
    run(100);
    EXPECT_TRUE(logic.visible());
    run(10);
    EXPECT_FALSE(logic.visible());
    EXPECT_LT(logic.geometry().x(), 10'000 - 3000);
}

TEST_F(CountdownLogicTest, BlinksZeroWhenTheAnnouncedUnitBegins) {
    source.remainingMsValue = 5000;
    logic.show(0); // stays until dismissed, so the whole change can be watched
    run(3990);
    EXPECT_TRUE(logic.label(LabelId::Zeit).visible);
    EXPECT_EQ(text(LabelId::Zeit), u"0:01"_s);
    run(1020); // the pause is over
    EXPECT_EQ(text(LabelId::Zeit), u"0:00"_s);
    EXPECT_TRUE(logic.flashing());
    run(300);
    ASSERT_GE(flashes.size(), 2);
    EXPECT_NE(flashes[0], flashes[1]);

    // The announced unit starts; the overlay is still announcing it.
    source.unit = true;
    source.remainingMsValue = source.lengthMs;
    run(1000);
    EXPECT_EQ(text(LabelId::Zeit), u"0:00"_s);
    EXPECT_EQ(text(LabelId::Caption), u"Sekunden bis:"_s);
    run(4500); // past 5 s: the time of the unit again
    EXPECT_EQ(text(LabelId::Zeit), u"24:54"_s);
    EXPECT_TRUE(logic.label(LabelId::Zeit).visible);
    EXPECT_EQ(text(LabelId::Caption), u"Sekunden bis:"_s);
    run(4600);
    EXPECT_EQ(text(LabelId::Caption), u"Minuten verbleiben in:"_s);
}

TEST_F(CountdownLogicTest, DuringAUnitItShowsTheUnitAndNeverBlinks) {
    source.unit = true;
    source.remainingMsValue = source.lengthMs - 2000;
    logic.show(3500);
    EXPECT_FALSE(logic.announce());
    EXPECT_EQ(text(LabelId::Title), u"Bericht schreiben"_s);
    EXPECT_EQ(text(LabelId::Time), u"10:25 Uhr"_s);
    EXPECT_EQ(text(LabelId::Caption), u"Aktive Einheit:"_s);
    run(10);
    EXPECT_EQ(text(LabelId::Caption), u"Minuten verbleiben in:"_s);
    EXPECT_EQ(text(LabelId::Zeit), u"24:57"_s);
    EXPECT_FALSE(logic.flashing());
    // With nothing pending the announcement names the end.
    logic.windowHidden();
    source.unit = false;
    source.next.clear();
    source.nextStart = QDateTime();
    logic.show(4000);
    EXPECT_EQ(text(LabelId::Title), u"Ende"_s);
    EXPECT_EQ(text(LabelId::Time), QString());
    // Without the running plan to read there is nothing to show.
    logic.windowHidden();
    logic.setSource(nullptr);
    logic.show(4000);
    EXPECT_FALSE(logic.visible());
}

TEST_F(CountdownLogicTest, ATitleTooLongForTheMonitorIsCutSoTheTimeStaysOnIt) {
    // 7 pixels a character here: 1000 characters would make a strip of over 7000 pixels.
    for (const int length : {1000, 150}) {
        source.next = QString(length, u'W');
        logic.show(4000);
        run(3000);
        const int stripLeft = 3200 - logic.geometry().width();
        EXPECT_EQ(logic.geometry().left(), stripLeft) << length;
        // Slid in onto the right monitor, the whole strip is on it.
        EXPECT_GE(stripLeft, 1920) << length;
        EXPECT_EQ(text(LabelId::Title).endsWith(QChar(0x2026)), length == 1000) << length;
        logic.windowHidden();
    }
}

TEST_F(CountdownLogicTest, SoundsOnlyInTheLastMinuteOfAPause) {
    for (const CaseRow& row : caseTable(dataFile, u"sounds"_s)) {
        player.played.clear();
        source.remainingMsValue = row.number(0) * 1000;
        source.unit = row.number(1);
        source.sounds = row.number(2);
        logic.show(4000);
        ASSERT_TRUE(logic.visible());
        EXPECT_EQ(player.played.join(u','), row[3]) << row.where.toStdString();
        logic.windowHidden();
    }
}

// The monotonic tick starts near 0 with the program: a plan resumed at start-up is announced
// at once, not held back as if the user had just dismissed it.
TEST(CountdownLogicStart, ShowsInTheFirstSecondsOfTheProgram) {
    const FakeClock clock(QDateTime(QDate(2026, 12, 7), QTime(9, 0)), 0);
    FakeSoundPlayer player;
    FakeSource source;
    CountdownLogic logic(CountdownLogic::Services{clock, player, {}, {}, {}});
    logic.setSource(&source);
    logic.show(3500);
    EXPECT_TRUE(logic.visible());
}

// --- the window ---------------------------------------------------------------------------

struct CountdownWindow : ::testing::Test {
    CountdownWindow() { overlay.setSource(&source); }
    FakeClock clock;
    FakeSoundPlayer player;
    FakeSource source;
    TFCountdown overlay{clock, player};
};

TEST_F(CountdownWindow, SlidesInWithoutAskingForFocusAndGoesOnClick) {
    // Offscreen activates every window it shows, so only the request not to can be checked.
    const Qt::WindowFlags flags = overlay.windowFlags();
    EXPECT_TRUE(flags.testFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                Qt::WindowDoesNotAcceptFocus));
    EXPECT_TRUE(overlay.testAttribute(Qt::WA_ShowWithoutActivating));

    overlay.showFor(4000);
    ASSERT_TRUE(overlay.isVisible());
    const int edge = countdown::screenEdges(TFCountdown::systemMonitors()).right;
    EXPECT_EQ(overlay.x(), edge);
    auto* title = overlay.findChild<QLabel*>(u"lblNaechsteEinheit"_s);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->text(), u"Mails"_s);
    EXPECT_EQ(title->width(), title->fontMetrics().horizontalAdvance(title->text()));
    QTRY_COMPARE_WITH_TIMEOUT(overlay.findChild<QLabel*>(u"lbl1"_s)->text(), u"Sekunden bis:"_s, 2000);
    QTRY_VERIFY_WITH_TIMEOUT(overlay.x() < edge - 20, 2000);

    // A click on a label is a click on the overlay.
    QTest::mouseClick(title, Qt::LeftButton);
    EXPECT_TRUE(overlay.logic().slidingOut());
    QTRY_VERIFY_WITH_TIMEOUT(!overlay.isVisible(), 3000);

    // Hidden from outside, it may come again once the dismissal has passed.
    clock.advanceSecs(11);
    overlay.showFor(4000);
    ASSERT_TRUE(overlay.isVisible());
    static_cast<QWidget&>(overlay).hide();
    clock.advanceSecs(1);
    overlay.showFor(4000);
    EXPECT_TRUE(overlay.isVisible());
}

TEST_F(CountdownWindow, TheTimeIsNeverCutOffNorCoveredByTheCaption) {
    auto* zeit = overlay.findChild<QLabel*>(u"lblZeit"_s);
    auto* caption = overlay.findChild<QLabel*>(u"lbl1"_s);
    ASSERT_TRUE(zeit && caption);
    // Whatever font stands in for the one the strip was drawn for.
    for (const qint64 seconds : {59, 25 * 60, 3599, 3 * 3600 + 300, 100 * 3600}) {
        source.remainingMsValue = seconds * 1000;
        overlay.showFor(4000);
        ASSERT_TRUE(overlay.isVisible()) << seconds;
        // The refresh too, which lays the labels out again.
        QTest::qWait(30);
        EXPECT_GE(zeit->width(), zeit->fontMetrics().horizontalAdvance(zeit->text())) << seconds;
        EXPECT_GT(caption->x(), zeit->x() + zeit->width()) << seconds;
        static_cast<QWidget&>(overlay).hide();
    }
}

} // namespace
