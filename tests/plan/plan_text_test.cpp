// The readers of typed and stored texts: the input line, and the fast minute readers of the
// schedule against the general readers every file goes through.

#include "case_table.h"
#include "plan_fixture.h"
#include "plan_minutes.h"
#include "typed_entry.h"
#include "value_text.h"

#include <optional>

namespace {

using namespace Qt::StringLiterals;

const QString readers = QStringLiteral(PLAN_TEST_DATA "/readers.txt");

TEST(TypedEntryTest, EveryFormOfTypedText) {
    for (const CaseRow& c : caseTable(readers, u"typed"_s)) {
        const TypedEntry want{c[1] == u"pause"_s, c[2], c.number(3), adjustmentNamed(c[4])};
        EXPECT_EQ(TypedEntry::parse(c[0], 50, 20), want) << c.where.toStdString();
    }
}

// The fast readers take a shortcut only for the written forms; every text must read the same
// as through the general readers, and fail where they fail.
TEST(MinuteReaderTest, AgreesWithTheGeneralReaders) {
    const auto general = [](const QString& date, const QString& time) -> std::optional<qint64> {
        try {
            return planminutes::fromDateTime(
                plantime::wall(plantime::parseDate(date), plantime::parseTime(time)));
        } catch (const plantime::ConversionError&) {
            return std::nullopt;
        }
    };
    const auto fast = [](const QString& date, const QString& time) -> std::optional<qint64> {
        try {
            PlanEntry e;
            e.date = date;
            e.startTime = time;
            return planminutes::readStart(e);
        } catch (const plantime::ConversionError&) {
            return std::nullopt;
        }
    };
    const QList<CaseRow> times = caseTable(readers, u"times"_s);
    for (const CaseRow& d : caseTable(readers, u"dates"_s)) {
        for (const CaseRow& t : times)
            EXPECT_EQ(fast(d[0], t[0]), general(d[0], t[0]))
                << d.where.toStdString() << " " << t.where.toStdString();
    }
    for (const CaseRow& c : caseTable(readers, u"numbers"_s)) {
        SCOPED_TRACE(c.where.toStdString());
        int f = -7, g = -7;
        const bool fastOk = planminutes::tryReadInt(c[0], &f);
        const bool generalOk = valuetext::readInt(c[0], &g);
        EXPECT_EQ(generalOk ? QString::number(g) : u"none"_s, c[1]);
        EXPECT_EQ(fastOk, generalOk);
        EXPECT_EQ(f, g);
    }
}

} // namespace
