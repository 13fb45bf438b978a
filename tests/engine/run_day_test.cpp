#include "day_fixture.h"

#include <functional>

namespace {

const QString crlf = QStringLiteral("\r\n");

// "Mo, 07.12.2026 hh:nn|25 Title" as the log writes a unit that began then.
QString unit(const char* hhnn, const char* title, int minutes = 25, const char* day = "Mo, 07.12.2026") {
    return crlf + QLatin1String(day) + QLatin1Char(' ') + QLatin1String(hhnn) + QLatin1Char('|') +
           QString::number(minutes) + QLatin1Char(' ') + QLatin1String(title);
}
const QString done = QStringLiteral(" [x]");

QString replanned(const char* hhnn, const char* reason = nullptr) {
    return crlf + QStringLiteral("Mo, 07.12.2026 ") + QLatin1String(hhnn) + QStringLiteral(" --- NEU GEPLANT ---") +
           (reason ? QStringLiteral(" Grund: ") + QString::fromUtf8(reason) : QString());
}

// At a time of the day, do something, then the log must read exactly so.
struct Step {
    QTime at;
    std::function<void(Day&)> action;
    QString log;
};

struct DayCase {
    const char* name;
    std::function<void(Day&)> plan;
    QList<Step> steps;
    QStringList sounds; // empty: not checked
};

void nothing(Day&) {}
void f9(Day& d) {
    d.runner.Start1Click();
}

TEST(RunDay, WholeDaysLogExactly) {
    const QList<DayCase> cases = {
        {"25-minute unit: logged one minute in, completed at its end",
         [](Day& d) { d.type(QStringLiteral("A")); },
         {{QTime(9, 0, 59, 900), nothing, QString()},
          {QTime(9, 1, 0, 100), nothing, unit("09:00", "A")},
          {QTime(9, 24, 59, 900), nothing, unit("09:00", "A")},
          {QTime(9, 25, 0, 100), nothing, unit("09:00", "A") + done}},
         {QStringLiteral("Start.wav"), QStringLiteral("Ende_Einheit.wav")}},
        {"unit, small pause, unit to the end of the plan",
         [](Day& d) {
             d.type(QStringLiteral("A"));
             d.type(QStringLiteral("B"));
         },
         {{QTime(10, 0), nothing, unit("09:00", "A") + done + unit("09:30", "B") + done}},
         {QStringLiteral("Start.wav"), QStringLiteral("Ende_Einheit.wav"), QStringLiteral("Start.wav"),
          QStringLiteral("Ende_Einheit.wav")}},
        {"a fixed unit is waited for",
         [](Day& d) {
             d.records.settings.AnwesenheitErforderlich = false;
             d.type(QStringLiteral("A"));
             d.list.AddEntry(QStringLiteral("B"), false, plantime::wall(d.clock.today(), QTime(10, 0)), 25, true,
                             QStringLiteral(" "));
         },
         {{QTime(9, 59), nothing, unit("09:00", "A") + done},
          {QTime(10, 30), nothing, unit("09:00", "A") + done + unit("10:00", "B") + done}},
         {}},
        {"a one-minute unit is logged whole",
         [](Day& d) { d.type(QStringLiteral("Kurz")); },
         {{QTime(9, 2), nothing, unit("09:00", "Kurz", 1) + done}},
         {}},
        {"the failed mark: no completion",
         [](Day& d) { d.type(QStringLiteral("A")); },
         {{QTime(9, 10), [](Day& d) { d.engine.setFailedMark(true); }, unit("09:00", "A")},
          {QTime(9, 30), nothing, unit("09:00", "A")}},
         {}},
        {"absent at the end of a pause: re-planned automatically",
         [](Day& d) {
             d.type(QStringLiteral("A"));
             d.type(QStringLiteral("p 10"));
             d.type(QStringLiteral("B"));
         },
         {{QTime(9, 36), nothing,
           unit("09:00", "A") + done + replanned("09:35", "Automatisch neu geplant, da Benutzer nicht anwesend")}},
         {}},
        {"present at the end of a pause: the next unit starts",
         [](Day& d) {
             d.type(QStringLiteral("A"));
             d.type(QStringLiteral("p 10"));
             d.type(QStringLiteral("B"));
         },
         {{QTime(9, 33), [](Day& d) { d.runner.presenceConfirmed = true; }, unit("09:00", "A") + done},
          {QTime(10, 1), nothing, unit("09:00", "A") + done + unit("09:35", "B") + done}},
         {}},
        {"re-planned during a unit, no reason asked",
         [](Day& d) { d.type(QStringLiteral("A")); },
         {{QTime(9, 10), f9, unit("09:00", "A") + replanned("09:10")}},
         {}},
        {"re-planned during a pause, with a reason",
         [](Day& d) {
             d.records.settings.GrundVerlangen = true;
             d.ui.answer(ScriptedUi::Kind::Text, QStringLiteral("Telefon"));
             d.type(QStringLiteral("A"));
             d.type(QStringLiteral("B"));
         },
         {{QTime(9, 27), f9, unit("09:00", "A") + done + replanned("09:27", "Telefon")}},
         {}},
        {"a suspend across the end of a unit: completed once on the first tick",
         [](Day& d) { d.type(QStringLiteral("A")); },
         {{QTime(9, 10), [](Day& d) { d.clock.advanceSecs(3600); }, unit("09:00", "A")},
          {QTime(10, 10, 0, 200), nothing, unit("09:00", "A") + done}},
         {}},
        {"a suspend before the first minute: logged whole",
         [](Day& d) { d.type(QStringLiteral("A")); },
         {{QTime(9, 0, 30), [](Day& d) { d.clock.advanceSecs(3600); }, QString()},
          {QTime(10, 0, 30, 200), nothing, unit("09:00", "A") + done}},
         {}},
        {"a clock set back by an hour: nothing twice, nothing lost",
         [](Day& d) { d.type(QStringLiteral("A")); },
         {{QTime(9, 10), [](Day& d) { d.clock.advanceSecs(-3600); }, unit("09:00", "A")},
          {QTime(8, 24, 59), nothing, unit("09:00", "A")},
          {QTime(8, 25, 0, 200), nothing, unit("09:00", "A") + done}},
         {}},
    };
    for (const DayCase& c : cases) {
        SCOPED_TRACE(c.name);
        Day d;
        if (QLatin1String(c.name).startsWith(QLatin1String("a one-minute"))) {
            d.records.settings.StandardDauerEinheit = 1;
        }
        c.plan(d);
        f9(d);
        for (const Step& s : c.steps) {
            d.runUntil(s.at);
            s.action(d);
            EXPECT_EQ(d.log(), s.log) << s.at.toString().toStdString();
        }
        if (!c.sounds.isEmpty()) {
            EXPECT_EQ(d.sounds(), c.sounds);
        }
        EXPECT_TRUE(d.ui.allAnswered());
    }
}

} // namespace
