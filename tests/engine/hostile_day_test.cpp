// A day run by a careless or hostile user: hand-edited files with absurd values, the start
// command pressed many times, huge plans. Nothing may be lost, nothing may hang, and the
// program keeps running.

#include "case_table.h"
#include "day_fixture.h"

#include <QElapsedTimer>

using namespace Qt::StringLiterals;

namespace {

// A program started with "-autostart" at 09:10 over a data folder that holds these files.
std::unique_ptr<Day> startOver(const QList<std::pair<const char*, QByteArray>>& files) {
    Day before;
    for (const auto& [name, bytes] : files)
        before.data.write(QLatin1String(name), bytes);
    return std::make_unique<Day>(QDateTime(QDate(2026, 12, 7), QTime(9, 10)), &before);
}

const QString hostileCases = QStringLiteral(TAKTPLAN_TEST_DATA_DIR "/engine_hostile.txt");

TEST(HostileDay, HandEditedRunningLines) {
    for (const CaseRow& row : caseTable(hostileCases, u"running lines"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        auto d = startOver(
            {{"worklist.log", QString(row[0]).replace(u"<T×100000>"_s, QString(100'000, u'T')).toUtf8()}});
        QElapsedTimer took;
        took.start();
        d->resume();
        ASSERT_TRUE(d->engine.unitRunning());
        d->runFor(1);
        EXPECT_NEAR(d->engine.remainingSeconds(), row.number(1), 2);
        d->runFor(60);
        EXPECT_TRUE(d->log().contains(row[2])) << d->log().left(200).toStdString();
        EXPECT_FALSE(d->log().contains(u"2099"_qs));
        EXPECT_FALSE(d->file("worklist.log").contains(u"2099"_qs));
        EXPECT_LT(took.elapsed(), 20'000);
    }
}

TEST(HostileDay, AbsurdSettings) {
    for (const CaseRow& row : caseTable(hostileCases, u"absurd settings"_s)) {
        SCOPED_TRACE(row.where.toStdString());
        auto d = startOver({{"Settings.ini", row[0].toUtf8()}});
        d->type(u"A"_qs);
        d->type(u"B"_qs);
        d->runner.Start1Click();
        ASSERT_TRUE(d->engine.unitRunning());
        EXPECT_EQ(d->runner.startCaption(), row[1]);
        d->runFor(1);
        EXPECT_NEAR(d->engine.remainingSeconds(), 25 * 60, 2);
        d->runFor(120);
        d->runner.Start1Click();
        EXPECT_FALSE(d->engine.active());
        EXPECT_EQ(d->records.settings.Verbleibend, row.number(2));
        // The end of a day sets the allowance to its maximum and gives one back.
        d->runFor(1);
        d->runner.Start1Click();
        d->runFor(60 * 60);
        EXPECT_FALSE(d->engine.active());
        EXPECT_TRUE(d->log().contains(u"|25 B [x]"_qs)) << d->log().toStdString();
        const int max = d->records.settings.NeuPlanenMax;
        EXPECT_EQ(d->records.settings.Verbleibend, max < -1 ? -1 : max) << "the allowance of a new day";
    }
}

TEST(HostileDay, RoughHandling) {
    // F9 held down: one start, then one re-planning half a second later at the earliest.
    {
        Day d;
        d.records.settings.NeuPlanenMax = d.records.settings.Verbleibend = 3;
        d.type(u"A"_qs);
        for (int i = 0; i < 20; ++i) {
            d.runner.Start1Click();
            d.runFor(0);
            d.clock.advanceMs(20);
        }
        EXPECT_TRUE(d.engine.unitRunning());
        EXPECT_EQ(d.records.settings.Verbleibend, 3);
    }
    // A plan of 2,000 units starts at once and the first one is logged.
    {
        Day d;
        for (int i = 0; i < 2000; ++i)
            d.type(u"U"_qs + QString::number(i));
        QElapsedTimer took;
        took.start();
        d.runner.Start1Click();
        EXPECT_LT(took.elapsed(), 10'000);
        EXPECT_TRUE(d.engine.unitRunning());
        d.runFor(61);
        EXPECT_TRUE(d.log().endsWith(u"09:00|25 U0"_qs)) << d.log().toStdString();
    }
    // The activity log cannot be written when a unit ends: the day goes on, the plan keeps the
    // unit as done, and the log is written again once it can be.
    {
        Day d;
        d.type(u"A"_qs);
        d.type(u"B"_qs);
        d.runner.Start1Click();
        d.runFor(61);
        // A folder in its place stops even a privileged writer.
        const QString log = d.records.settings.LogDateiPfad;
        const QByteArray before = d.data.read(QStringLiteral("Dezuzedu.log"));
        ASSERT_TRUE(QFile::remove(log) && QDir().mkdir(log));
        d.runFor(24 * 60);
        EXPECT_FALSE(d.engine.unitRunning());
        EXPECT_TRUE(d.engine.active()) << "the pause after A runs";
        ASSERT_TRUE(QDir().rmdir(log));
        d.data.write(QStringLiteral("Dezuzedu.log"), before);
        d.runFor(6 * 60);
        EXPECT_TRUE(d.engine.unitRunning());
        EXPECT_TRUE(d.log().contains(u"|25 B"_qs)) << d.log().toStdString();
    }
}

// The task-change hint two minutes before the end of a unit, and the next start at 59, 30 and
// 5 seconds before the end of a pause: each once, also when the program stands still for
// longer than a second at a time; the hint not when the unit is over by then.
TEST(HostileDay, AnnouncementsSurviveAStalledProgram) {
    const QString hint =
        u"Aufgabenwechsel vorbereiten | In der nächsten Einheit steht eine andere Aufgabe an. "
        u"Komm also zum Schluss. (Aufgabenwechsel lohnen sich, siehe Interleaving- & "
        u"Zeigarnik-Effekt.)"_s;
    struct Case {
        int stepMs;
        QList<int> countdowns; // 3500: the start of the plan announces A
        QTime hintAt;          // the first tick that shows 2:00 or less left of A; null: no hint
    };
    const Case cases[] = {
        {100, {3500, 4000, 4000, 7000}, QTime(9, 23)},
        {1700, {3500, 4000, 4000, 7000}, QTime(9, 23, 0, 400)},
        {7000, {3500, 4000, 4000, 7000}, QTime(9, 23, 6)},
        {250'000, {3500}, QTime()}, // the pause's first tick comes at 50 s: nothing passed since
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stepMs);
        Day d;
        d.records.settings.HinweisAufgabenwechsel = true;
        d.type(u"A"_qs);
        d.type(u"B"_qs);
        d.runner.Start1Click();
        QTime hintAt;
        while (d.engine.active() && d.engine.currentTitle() != u"B"_qs) {
            d.clock.advanceMs(c.stepMs);
            d.engine.Tick();
            if (hintAt.isNull() && !d.ui.reminders.isEmpty())
                hintAt = d.clock.localNow().time();
        }
        EXPECT_TRUE(d.engine.unitRunning());
        EXPECT_EQ(d.countdown.shown, c.countdowns);
        EXPECT_EQ(d.ui.reminders, QStringList(hintAt.isNull() ? 0 : 1, hint));
        EXPECT_EQ(hintAt, c.hintAt);
    }
}

} // namespace
