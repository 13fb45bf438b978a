#include "value_text.h"

#include <limits>

namespace valuetext {
namespace {

// Digits only, at most maxDigits of them.
bool readDigits(QStringView text, qsizetype maxDigits, int* out) {
    if (text.isEmpty() || text.size() > maxDigits)
        return false;
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - u'0');
    }
    *out = value;
    return true;
}

} // namespace

bool readInt(QStringView text, int* out) {
    text = text.trimmed();
    bool negative = false;
    if (!text.isEmpty() && (text.front() == QLatin1Char('+') || text.front() == QLatin1Char('-'))) {
        negative = text.front() == QLatin1Char('-');
        text = text.mid(1);
    }
    if (text.isEmpty())
        return false;
    // Counted towards the negative end, which holds one more value than the positive one.
    constexpr qint64 limit = qint64(std::numeric_limits<int>::max()) + 1;
    qint64 value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - u'0');
        if (value > limit)
            return false;
    }
    if (!negative && value == limit)
        return false;
    *out = static_cast<int>(negative ? -value : value);
    return true;
}

bool readDate(QStringView text, QDate* out) {
    text = text.trimmed();
    const qsizetype dot1 = text.indexOf(QLatin1Char('.'));
    const qsizetype dot2 = dot1 < 0 ? -1 : text.indexOf(QLatin1Char('.'), dot1 + 1);
    if (dot2 < 0)
        return false;
    int d = 0, m = 0, y = 0;
    if (!readDigits(text.left(dot1), 2, &d) || !readDigits(text.mid(dot1 + 1, dot2 - dot1 - 1), 2, &m) ||
        text.size() - dot2 - 1 != 4 || !readDigits(text.mid(dot2 + 1), 4, &y))
        return false;
    const QDate date(y, m, d);
    if (!date.isValid())
        return false;
    *out = date;
    return true;
}

QString formatDate(QDate date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace valuetext
