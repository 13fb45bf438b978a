#include "typed_entry.h"

#include <limits>

namespace {

// Decimal digits with an optional sign, nothing else. A negative length would put the pause's
// end before its start and everything after it into overlap, and a length beyond this many
// minutes could not be added to a date-time in seconds without overflowing, so both count as
// "not a number" here.
bool readPauseLength(const QString& text, int* out) {
    constexpr qint64 maxMinutes = std::numeric_limits<int>::max() / 60;
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i == text.size())
        return false;
    qint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - u'0');
        if (value > maxMinutes)
            return false;
    }
    if (negative && value != 0)
        return false;
    *out = static_cast<int>(value);
    return true;
}

} // namespace

bool TypedEntry::isPauseInput(const QString& text) {
    return text.toUpper() == QLatin1String("P") || text.left(2).toUpper() == QLatin1String("P ");
}

TypedEntry TypedEntry::parse(const QString& text, int unitLength, int bigPause) {
    TypedEntry entry;
    if (!isPauseInput(text)) {
        entry.title = text;
        entry.duration = unitLength;
        return entry;
    }
    entry.isPause = true;
    QString length = text.mid(2);
    const qsizetype blank = length.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        length.truncate(blank);
    int minutes = 0;
    if (readPauseLength(length, &minutes)) {
        entry.duration = minutes;
        // The title follows the second blank of the whole text ("p 10 Kaffee kochen").
        const qsizetype first = text.indexOf(QLatin1Char(' '));
        const qsizetype second = first >= 0 ? text.indexOf(QLatin1Char(' '), first + 1) : -1;
        entry.title = second >= 0 ? text.mid(second + 1) : QString();
    } else {
        entry.duration = bigPause;
        entry.title = text.mid(2);
    }
    return entry;
}
