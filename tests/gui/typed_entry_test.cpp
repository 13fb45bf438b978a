#include "typed_entry.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* typed;
    bool isPause;
    const char* title;
    int duration;
};

// Unit length 50 and big pause 25, so the two defaults are told apart.
const Case cases[] = {
    {"Bericht schreiben", false, "Bericht schreiben", 50},
    {"", false, "", 50},
    {"Pläne", false, "Pläne", 50},
    {"pause", false, "pause", 50},
    {"p\t5", false, "p\t5", 50},
    {" p 5", false, " p 5", 50},
    {"p", true, "", 25},
    {"P", true, "", 25},
    {"p ", true, "", 25},
    {"p 10", true, "", 10},
    {"P 10 Kaffee kochen", true, "Kaffee kochen", 10},
    {"p Mittag essen", true, "Mittag essen", 25},
    {"p 10x", true, "10x", 25},
    {"p  25", true, " 25", 25},
    {"p 25 ", true, "", 25},
    {"p 0", true, "", 0},
    {"p +5 Tee", true, "Tee", 5},
    {"P 15 (a)", true, "(a)", 15},
    {"p 10 Tee  mit  Milch ", true, "Tee  mit  Milch ", 10},
    // A negative length would end the pause before it begins: it is no length.
    {"p -5", true, "-5", 25},
    {"p -0", true, "", 0},
    // Beyond what minutes can be counted in seconds: no length either.
    {"p 99999999999 lang", true, "99999999999 lang", 25},
    {"p 35791394", true, "", 35791394},
    {"p 35791395", true, "35791395", 25},
    {"p + x", true, "+ x", 25},
};

TEST(TypedEntry, ParsesEveryFormOfInput) {
    for (const Case& c : cases) {
        const TypedEntry e = TypedEntry::parse(QString::fromUtf8(c.typed), 50, 25);
        SCOPED_TRACE(c.typed);
        EXPECT_EQ(e.isPause, c.isPause);
        EXPECT_EQ(e.title, QString::fromUtf8(c.title));
        EXPECT_EQ(e.duration, c.duration);
    }
}

TEST(TypedEntry, RecognisesPauseInputByItsFirstTwoCharacters) {
    const struct {
        const char* text;
        bool pause;
    } inputs[] = {{"p", true}, {"P", true},   {"p ", true},   {"P x", true}, {"pp", false},
                  {"", false}, {"Pa", false}, {"x p", false}, {"ü", false}};
    for (const auto& in : inputs)
        EXPECT_EQ(TypedEntry::isPauseInput(QString::fromUtf8(in.text)), in.pause) << in.text;
}

} // namespace
