// The readers of typed and stored texts: the input line, and the fast minute readers of the
// schedule against the general readers every file goes through.

#include "plan_fixture.h"

#include "plan_minutes.h"
#include "typed_entry.h"
#include "value_text.h"

#include <climits>
#include <optional>

namespace {

using namespace Qt::StringLiterals;
using Adjustment = TypedEntry::Adjustment;

TEST(TypedEntryTest, EveryFormOfTypedText) {
    // Unit length 50 and big pause 20, so the two defaults are told apart. A negative length, or
    // one beyond what minutes can be counted in seconds, is no length.
    const struct {
        QString typed;
        bool isPause;
        QString title;
        int minutes;
        Adjustment adjustment = Adjustment::None;
    } cases[] = {
        {u"Pläne"_s, false, u"Pläne"_s, 50},
        {u"pause"_s, false, u"pause"_s, 50},
        {u" p 5"_s, false, u" p 5"_s, 50},
        {QString(), false, QString(), 50},
        {u"p"_s, true, QString(), 20},
        {u"p 10"_s, true, QString(), 10},
        {u"P 10 Kaffee kochen"_s, true, u"Kaffee kochen"_s, 10},
        {u"p Mittag essen"_s, true, u"Mittag essen"_s, 20},
        {u"p 10x"_s, true, u"10x"_s, 20},
        {u"p 0"_s, true, QString(), 0},
        {u"p  25"_s, true, u" 25"_s, 20},
        {u"p 25 "_s, true, QString(), 25},
        {u"p +5 Tee"_s, true, u"Tee"_s, 5},
        {u"p -5"_s, true, u"-5"_s, 20},
        {u"p 35791395"_s, true, u"35791395"_s, 20},
        {u"p 35791394"_s, true, QString(), 35791394},
        // Titles the plan file would read back as something else are changed here.
        {u"Pause: 15"_s, false, u"Pause 15"_s, 50, Adjustment::PausePrefix},
        {u"{{WIP}}Bericht"_s, false, u"{WIP}Bericht"_s, 50, Adjustment::RunningMark},
        {u"Zwei\nZeilen"_s, false, u"Zwei Zeilen"_s, 50, Adjustment::LineBreak},
        {u"p 5 a|||09:00"_s, true, u"a||09:00"_s, 5, Adjustment::TimeMark},
        {u"p 5 x\r\ny"_s, true, u"x  y"_s, 5, Adjustment::LineBreak},
        // These survive the file as they are: a unit line is read from its last "///".
        {u"Ablage 2025/"_s, false, u"Ablage 2025/"_s, 50},
        {u"a{{WIP}}"_s, false, u"a{{WIP}}"_s, 50},
        {u"a|||09:00///25"_s, false, u"a|||09:00///25"_s, 50},
        {u"p 5 a///25"_s, true, u"a///25"_s, 5},
    };
    for (const auto& c : cases) {
        const TypedEntry got = TypedEntry::parse(c.typed, 50, 20);
        EXPECT_EQ(got, (TypedEntry{c.isPause, c.title, c.minutes, c.adjustment})) << c.typed.toStdString();
    }
}

// The fast readers take a shortcut only for the written forms; every text must read the same
// as through the general readers, and fail where they fail.
TEST(MinuteReaderTest, AgreesWithTheGeneralReaders) {
    const auto general = [](const QString& date, const QString& time) -> std::optional<qint64> {
        try {
            const QDateTime t = plantime::wall(plantime::parseDate(date), plantime::parseTime(time));
            return planminutes::fromDateTime(t);
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
    const QString dates[] = {u"07.12.2026"_s,  u"7.12.2026"_s,  u" 07.12.2026 "_s, u"29.02.2028"_s,
                             u"29.02.2026"_s,  u"31.12.9999"_s, u"01.01.1000"_s,   u"07.12.26"_s,
                             u"07.12.10000"_s, u"7.1.2026"_s,   u"007.12.2026"_s,  u"+7.12.2026"_s,
                             u"07-12-2026"_s,  u"0a.12.2026"_s, u"00.12.2026"_s,   QString()};
    const QString times[] = {u"09:05"_s, u"9:05"_s,   u"09:05:59"_s, u"23:59"_s, u"24:00"_s,
                             u"09:60"_s, u" 09:05"_s, u"0905"_s,     u"09:5x"_s, QString()};
    for (const QString& d : dates) {
        for (const QString& t : times)
            EXPECT_EQ(fast(d, t), general(d, t)) << d.toStdString() << " " << t.toStdString();
    }
    // Whole numbers: the shortcut takes up to nine plain digits; the general reader takes blanks
    // around and a sign, and nothing beyond the range of int.
    const struct {
        QString text;
        std::optional<int> value;
    } numbers[] = {
        {u"0"_s, 0},
        {u"000000025"_s, 25},
        {u"999999999"_s, 999999999},
        {u"2147483647"_s, INT_MAX},
        {u"-2147483648"_s, INT_MIN},
        {u"2147483648"_s, {}},
        {u" -7 "_s, -7},
        {u"+0"_s, 0},
        {u"25x"_s, {}},
        {u"2 5"_s, {}},
        {u"-"_s, {}},
        {u"０"_s, {}},
        {u"1e3"_s, {}},
        {u"0x10"_s, {}},
        {QString(), {}},
    };
    for (const auto& c : numbers) {
        int f = -7, g = -7;
        const bool fastOk = planminutes::tryReadInt(c.text, &f);
        const bool generalOk = valuetext::readInt(c.text, &g);
        EXPECT_EQ(generalOk ? std::optional<int>(g) : std::nullopt, c.value) << c.text.toStdString();
        EXPECT_EQ(fastOk, generalOk) << c.text.toStdString();
        EXPECT_EQ(f, g) << c.text.toStdString();
    }
}

} // namespace
