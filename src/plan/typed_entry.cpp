#include "typed_entry.h"

#include "plan_minutes.h"
#include "value_text.h"

namespace {

const QString pausePrefix = QStringLiteral("Pause: ");
const QString runningMark = QStringLiteral("{{WIP}}");
const QString timeMark = QStringLiteral("|||");
const QString finishMark = QStringLiteral("[x]");

} // namespace

bool TypedEntry::isPauseInput(const QString& text) {
    return text.toUpper() == QLatin1String("P") || text.left(2).toUpper() == QLatin1String("P ");
}

QString TypedEntry::storableTitle(QString title, bool isPause, Adjustment* why) {
    *why = Adjustment::None;
    if (title.contains(QLatin1Char('\r')) || title.contains(QLatin1Char('\n'))) {
        title.replace(QLatin1Char('\r'), QLatin1Char(' '));
        title.replace(QLatin1Char('\n'), QLatin1Char(' '));
        *why = Adjustment::LineBreak;
    }
    if (isPause) {
        // A pause line is cut at its first "|||"; a unit line is read from its last "///", so
        // unit titles keep both marks.
        while (title.contains(timeMark)) {
            title.replace(timeMark, QStringLiteral("||"));
            *why = Adjustment::TimeMark;
        }
        return title;
    }
    if (title.startsWith(runningMark)) {
        title.replace(0, runningMark.size(), QStringLiteral("{WIP}"));
        *why = Adjustment::RunningMark;
    }
    if (title.startsWith(pausePrefix)) {
        title.remove(pausePrefix.size() - 2, 1);
        *why = Adjustment::PausePrefix;
    }
    // The log line is the length, a blank and the title; the finish mark is " [x]" at its end.
    if (title.endsWith(finishMark) &&
        (title.size() == finishMark.size() || title.at(title.size() - 4) == u' ')) {
        title.replace(title.size() - finishMark.size(), finishMark.size(), QStringLiteral("(x)"));
        *why = Adjustment::FinishMark;
    }
    return title;
}

TypedEntry TypedEntry::parse(const QString& text, int unitLength, int bigPause) {
    TypedEntry entry;
    if (!isPauseInput(text)) {
        entry.title = storableTitle(text, false, &entry.adjustment);
        entry.duration = unitLength;
        return entry;
    }
    entry.isPause = true;
    QString length = text.mid(2);
    const qsizetype blank = length.indexOf(QLatin1Char(' '));
    if (blank >= 0)
        length.truncate(blank);
    // A negative length would put the pause's end before its start and everything after it into
    // overlap; such a length is no length, and the text is the title of a big pause.
    int minutes = 0;
    QString title;
    if (valuetext::readInt(length, &minutes) && planminutes::isSensibleDuration(minutes, true)) {
        entry.duration = minutes;
        // The title follows the second blank of the whole text ("p 10 Kaffee kochen").
        const qsizetype first = text.indexOf(QLatin1Char(' '));
        const qsizetype second = first >= 0 ? text.indexOf(QLatin1Char(' '), first + 1) : -1;
        title = second >= 0 ? text.mid(second + 1) : QString();
    } else {
        entry.duration = bigPause;
        title = text.mid(2);
    }
    entry.title = storableTitle(title, true, &entry.adjustment);
    return entry;
}
