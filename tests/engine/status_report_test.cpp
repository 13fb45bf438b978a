// What `--status` answers at the moments of a day that look different from outside, over the
// run state and the plan as the program's own core leaves them.
#include "day_fixture.h"
#include "status_report.h"

using namespace Qt::StringLiterals;

TEST(StatusReport, EachMomentOfADayAnswersAsJsonAndAsOneLine) {
    struct Moment {
        QTime at;
        int rank;
        const char* json;
        QString text;
    };
    // A unit, a pause of the plan, a wait for a fixed start, and the plan used up.
    const Moment moments[] = {
        {QTime(9, 0), 40,
         R"({"daily_target":6,"done_today":0,"ends_at":null,"next_start":"2026-12-07T09:00:00",)"
         R"("next_title":"Bericht %3 schreiben","percentile_rank":40,"phase":"planning","planned_today":2,)"
         R"("remaining_seconds":null,"title":null})",
         u"Planung"_s},
        {QTime(9, 12, 30), -1,
         R"({"daily_target":6,"done_today":0,"ends_at":"2026-12-07T09:25:00","next_start":"2026-12-07T09:25:00",)"
         R"("next_title":"Pause: 10 min","percentile_rank":null,"phase":"unit","planned_today":2,)"
         R"("remaining_seconds":750,"title":"Bericht %3 schreiben"})",
         u"▶ Bericht %3 schreiben 12:30 · 0/2"_s},
        {QTime(9, 30), -1,
         R"({"daily_target":6,"done_today":1,"ends_at":"2026-12-07T09:35:00","next_start":"2026-12-07T11:00:00",)"
         R"("next_title":"Klavier üben","percentile_rank":null,"phase":"pause","planned_today":2,)"
         R"("remaining_seconds":300,"title":"Pause: 10 min"})",
         u"Pause 5:00 · als Nächstes: Klavier üben"_s},
        {QTime(9, 40), -1,
         R"({"daily_target":6,"done_today":1,"ends_at":"2026-12-07T11:00:00","next_start":"2026-12-07T11:00:00",)"
         R"("next_title":"Klavier üben","percentile_rank":null,"phase":"wait","planned_today":2,)"
         R"("remaining_seconds":4800,"title":null})",
         u"Warten 1:20:00 · als Nächstes: Klavier üben"_s},
        {QTime(11, 30), -1,
         R"({"daily_target":6,"done_today":2,"ends_at":null,"next_start":null,"next_title":null,)"
         R"("percentile_rank":null,"phase":"planning","planned_today":2,"remaining_seconds":null,"title":null})",
         u"Planung"_s},
    };
    Day d;
    d.records.settings.AnwesenheitErforderlich = false;
    d.records.dailyTarget = 6;
    d.type(u"Bericht %3 schreiben"_s);
    d.type(u"p 10"_s);
    d.list.AddEntry(u"Klavier üben"_s, false, plantime::wall(d.clock.today(), QTime(11, 0)), 25, true,
                    u" "_s);
    for (const Moment& m : moments) {
        d.runUntil(m.at);
        const StatusReport report =
            StatusReport::from(d.runner.runState().state(), d.list, d.records.dailyTarget, m.rank);
        EXPECT_EQ(report.toJson(), QByteArray(m.json)) << m.at.toString().toStdString();
        EXPECT_EQ(report.toText(), m.text) << m.at.toString().toStdString();
        if (m.at == QTime(9, 0))
            d.runner.Start1Click();
    }
}
