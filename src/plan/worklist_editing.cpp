// The editing commands of the plan list: each works on the selected rows and leaves finished
// entries alone unless it says otherwise.

#include "worklist.h"

#include "clock.h"
#include "plan_minutes.h"
#include "plan_time.h"
#include "settings.h"
#include "value_text.h"

#include <algorithm>

using planminutes::Minute;

namespace {

QString pauseText(int minutes, const QString& title) {
    QString text = QStringLiteral("Pause: %1 min").arg(minutes);
    if (!title.isEmpty())
        text += QStringLiteral(" (") + title + QLatin1Char(')');
    return text;
}

// Whether a fixed entry starting at start and lasting minutes ends within the dates the plan
// file can hold: one past them would be refused when the plan is read again after a restart.
bool fitsCalendar(Minute start, int minutes) {
    return start >= planminutes::firstMinute() && start + minutes <= planminutes::lastMinute();
}

// Moves an open unit to start at start, fixed, keeping its length; false when its length does
// not convert.
bool placeFixed(PlanEntry& e, Minute start) {
    int minutes = 0;
    if (!planminutes::tryReadInt(e.duration, &minutes))
        return false;
    start = std::clamp(start, planminutes::firstMinute(), planminutes::lastMinute() - minutes);
    planminutes::assignTime(e.startTime, start);
    planminutes::assignTime(e.endTime, start + minutes);
    planminutes::assignDate(e.date, planminutes::dayOf(start));
    e.startMode = planvocab::modeFixed;
    return true;
}

// A new length; the end shown follows it (the schedule only rewrites the ends of relative
// entries, so a fixed entry would otherwise show its old end). A fixed entry keeps its length
// when the new one would take it past the last date: false then.
bool setLength(PlanEntry& e, int minutes) {
    try {
        const Minute start = planminutes::readStart(e);
        if (e.isFixed() && !fitsCalendar(start, minutes))
            return false;
        planminutes::assignTime(e.endTime, start + minutes);
    } catch (const plantime::ConversionError&) {
    }
    e.duration = QString::number(minutes);
    return true;
}

// A pause's length changed by delta (never below 0), its text rebuilt from its own title.
void resizePause(PlanEntry& e, int delta) {
    int minutes = 0;
    if (!planminutes::tryReadInt(e.duration, &minutes))
        return;
    const int resized = std::clamp(minutes + delta, 0, planminutes::longestDuration);
    if (setLength(e, resized))
        e.displayText = pauseText(resized, e.pauseTitle());
}

} // namespace

QList<int> Worklist::selection(const QList<int>& rows) const {
    QList<int> valid;
    for (const int row : rows) {
        if (row >= 0 && row < m_entries.size())
            valid.append(row);
    }
    std::sort(valid.begin(), valid.end());
    valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
    return valid;
}

void Worklist::swapRows(qsizetype a, qsizetype b) {
    m_entries.swapItemsAt(a, b);
    m_ids.swapItemsAt(a, b);
}

std::optional<QString> Worklist::renamePrefill(const QList<int>& rows) const {
    const QList<int> sel = selection(rows);
    if (sel.isEmpty() || m_entries.at(sel.first()).isFinished())
        return std::nullopt;
    const PlanEntry& first = m_entries.at(sel.first());
    return first.isPause() ? first.pauseTitle() : first.displayText;
}

TypedEntry::Adjustment Worklist::renameEntries(const QList<int>& rows, const QString& text) {
    TypedEntry::Adjustment why = TypedEntry::Adjustment::None;
    const QList<int> sel = selection(rows);
    if (sel.isEmpty() || m_entries.at(sel.first()).isFinished())
        return why;
    const bool pauses = m_entries.at(sel.first()).isPause();
    // The plan file must give the title back as it stands.
    const QString title = TypedEntry::storableTitle(text, pauses, &why);
    for (const int row : sel) {
        PlanEntry& e = m_entries[row];
        if (pauses && e.isPause()) {
            int minutes = 0;
            if (planminutes::tryReadInt(e.duration, &minutes))
                e.displayText = pauseText(minutes, title);
        } else if (!pauses && e.isUnit() && e.isOpen()) {
            e.displayText = title;
        }
    }
    entriesEdited();
    return why;
}

std::optional<QString> Worklist::startTimePrefill(const QList<int>& rows) const {
    const QList<int> sel = selection(rows);
    if (sel.isEmpty() || !m_entries.at(sel.first()).isOpen())
        return std::nullopt;
    return m_entries.at(sel.first()).startTime;
}

bool Worklist::setStartTime(int row, const QString& text) {
    if (row < 0 || row >= m_entries.size() || !m_entries.at(row).isOpen())
        return false;
    PlanEntry& e = m_entries[row];
    if (text == e.startTime)
        return false;
    if (text.isEmpty()) {
        e.startMode = planvocab::modeRelative;
        entriesEdited();
        return true;
    }
    int minutes = 0;
    if (!planminutes::tryReadInt(e.duration, &minutes))
        return false;
    QTime time;
    try {
        time = plantime::parseTime(text);
    } catch (const plantime::ConversionError&) {
        return false;
    }
    const qint64 today = m_clock.today().toJulianDay();
    const Minute start = today * planminutes::minutesPerDay + time.hour() * 60 + time.minute();
    // A time that has passed today means that time tomorrow; otherwise the entry keeps its day.
    const bool tomorrow = start < planminutes::fromDateTime(plantime::nowToMinute(m_clock));
    try {
        const qint64 day = tomorrow ? today + 1 : planminutes::readDay(e.date);
        if (!fitsCalendar(day * planminutes::minutesPerDay + planminutes::timeOfDayOf(start), minutes))
            return false;
    } catch (const plantime::ConversionError&) {
        return false;
    }
    if (tomorrow)
        planminutes::assignDate(e.date, today + 1);
    planminutes::assignTime(e.startTime, start);
    planminutes::assignTime(e.endTime, start + minutes);
    e.startMode = planvocab::modeFixed;
    entriesEdited();
    return true;
}

int Worklist::clearStartTimes(const QList<int>& rows) {
    int changed = 0;
    for (const int row : selection(rows)) {
        PlanEntry& e = m_entries[row];
        if (e.isOpen()) {
            e.startMode = planvocab::modeRelative;
            ++changed;
        }
    }
    entriesEdited();
    RecomputeSchedule();
    return changed;
}

void Worklist::startOneMinuteLater(const QList<int>& rows) {
    for (const int row : selection(rows)) {
        PlanEntry& e = m_entries[row];
        if (e.isPause()) {
            resizePause(e, +1);
        } else if (e.isOpen()) {
            try {
                placeFixed(e, planminutes::readStart(e) + 1);
            } catch (const plantime::ConversionError&) {
            }
        }
    }
    entriesEdited();
    RecomputeSchedule();
}

void Worklist::startOneMinuteEarlier(const QList<int>& rows) {
    const QList<int> sel = selection(rows);
    for (const int row : sel) {
        PlanEntry& e = m_entries[row];
        if (e.isPause()) {
            resizePause(e, -1);
            continue;
        }
        if (!e.isOpen())
            continue;
        try {
            const Minute start = planminutes::readStart(e);
            bool move = true;
            if (row > 0 && m_entries.at(row - 1).date == e.date && m_entries.at(row - 1).isOpen()) {
                // Not into the open entry above: a unit keeps the small minute after another unit,
                // and may follow a pause directly.
                const PlanEntry& above = m_entries.at(row - 1);
                const Minute limit = planminutes::readStart(above) + planminutes::readInt(above.duration) + 1;
                if (start <= limit && (above.isUnit() || start < limit))
                    move = false;
            }
            if (move)
                placeFixed(e, start - 1);
        } catch (const plantime::ConversionError&) {
        }
    }
    // A start that has come no longer holds its unit: it follows its predecessor again.
    const Minute now = planminutes::fromDateTime(plantime::nowToMinute(m_clock));
    for (const int row : sel) {
        PlanEntry& e = m_entries[row];
        try {
            if (e.isUnit() && planminutes::readStart(e) <= now)
                e.startMode = planvocab::modeRelative;
        } catch (const plantime::ConversionError&) {
        }
    }
    entriesEdited();
    RecomputeSchedule();
}

std::optional<QString> Worklist::datePrefill(const QList<int>& rows) const {
    const QList<int> sel = selection(rows);
    if (sel.isEmpty() || !m_entries.at(sel.first()).isOpen())
        return std::nullopt;
    return m_entries.at(sel.first()).date;
}

int Worklist::setDates(const QList<int>& rows, const QString& text) {
    QDate date;
    if (text.isEmpty() || !valuetext::readDate(text, &date) || date.year() < 1000 || date.year() > 9999)
        return 0;
    // Written in the plan's own form, so that text comparisons of dates (tomorrow's rows) hold.
    const QString dateText = plantime::formatDate(date);
    int changed = 0;
    for (const int row : selection(rows)) {
        PlanEntry& e = m_entries[row];
        int minutes = 0;
        if (!e.isOpen() || !planminutes::tryReadInt(e.duration, &minutes))
            continue;
        try {
            const Minute start =
                date.toJulianDay() * planminutes::minutesPerDay + planminutes::readTimeOfDay(e.startTime);
            if (!fitsCalendar(start, minutes))
                continue;
        } catch (const plantime::ConversionError&) {
            continue;
        }
        e.date = dateText;
        e.startMode = planvocab::modeFixed;
        ++changed;
    }
    entriesEdited();
    return changed;
}

int Worklist::resetDates(const QList<int>& rows) {
    const QString today = plantime::formatDate(m_clock.today());
    int changed = 0;
    for (const int row : selection(rows)) {
        PlanEntry& e = m_entries[row];
        if (e.isOpen()) {
            e.date = today;
            ++changed;
        }
    }
    entriesEdited();
    RecomputeSchedule();
    return changed;
}

std::optional<QString> Worklist::durationPrefill(const QList<int>& rows) const {
    const QList<int> sel = selection(rows);
    if (sel.isEmpty() || !m_entries.at(sel.first()).isOpen())
        return std::nullopt;
    return m_entries.at(sel.first()).duration;
}

bool Worklist::setDurations(const QList<int>& rows, const QString& text) {
    const QList<int> sel = selection(rows);
    if (sel.isEmpty() || !m_entries.at(sel.first()).isOpen())
        return true;
    const bool pauses = m_entries.at(sel.first()).isPause();
    int minutes = 0;
    const bool number = planminutes::tryReadInt(text, &minutes);
    // A unit of no time would end as it starts, before its log line is written, and the plan
    // file would not take it back; the user meant a length, so it is not swapped for another.
    if (number && minutes == 0 && !pauses)
        return false;
    // A length past what a plan can hold would not come back from the plan file: such a text
    // counts as no length at all.
    if (!number || !planminutes::isSensibleDuration(minutes, pauses))
        minutes = std::clamp(pauses ? m_settings.GrossePause : m_settings.StandardDauerEinheit,
                             pauses ? 0 : 1, planminutes::longestDuration);
    const QString title = pauses ? m_entries.at(sel.first()).pauseTitle() : QString();
    for (const int row : sel) {
        PlanEntry& e = m_entries[row];
        if (pauses && e.isPause()) {
            if (setLength(e, minutes))
                e.displayText = pauseText(minutes, title);
        } else if (!pauses && e.isUnit() && e.isOpen()) {
            setLength(e, minutes);
        }
    }
    entriesEdited();
    return true;
}

bool Worklist::setPendingUnitLengths(int minutes) {
    const QString text = QString::number(minutes);
    bool changed = false;
    for (PlanEntry& e : m_entries) {
        if (e.isPending() && e.isUnit() && e.duration != text && setLength(e, minutes))
            changed = true;
    }
    if (changed)
        entriesEdited();
    return changed;
}

bool Worklist::moveBlock(const QList<int>& rows, int step, quint64* firstMoved) {
    if (firstMoved)
        *firstMoved = 0;
    const qsizetype n = m_entries.size();
    QList<bool> selected(n, false);
    for (const int row : selection(rows))
        selected[row] = true;
    const qsizetype edge = step < 0 ? 0 : n - 1;
    if (n == 0 || selected.at(edge))
        return false;
    // Walk towards the edge side first so that a block moves as a whole; a row only trades places
    // with an open row outside the selection, so a blocked block keeps its order.
    for (qsizetype k = 1; k < n; ++k) {
        const qsizetype i = step < 0 ? k : n - 1 - k;
        const qsizetype j = i + step;
        if (!selected.at(i) || selected.at(j) || !m_entries.at(i).isOpen() || !m_entries.at(j).isOpen())
            continue;
        swapRows(i, j);
        selected[i] = false;
        selected[j] = true;
        if (firstMoved && *firstMoved == 0)
            *firstMoved = m_ids.at(j);
    }
    entriesEdited();
    RecomputeSchedule();
    return true;
}

bool Worklist::moveUp(const QList<int>& rows, quint64* firstMoved) {
    return moveBlock(rows, -1, firstMoved);
}

bool Worklist::moveDown(const QList<int>& rows, quint64* firstMoved) {
    return moveBlock(rows, +1, firstMoved);
}

void Worklist::moveRowsBefore(const QList<int>& rows, int target) {
    const quint64 targetId = target >= 0 && target < m_entries.size() ? m_ids.at(target) : 0;
    QList<quint64> moving;
    for (const int row : selection(rows))
        moving.append(m_ids.at(row));
    for (const quint64 id : std::as_const(moving)) {
        if (id == targetId)
            break;
        const qsizetype from = m_ids.indexOf(id);
        PlanEntry entry = m_entries.takeAt(from);
        m_ids.removeAt(from);
        const qsizetype to = targetId ? m_ids.indexOf(targetId) : m_entries.size();
        m_entries.insert(to, std::move(entry));
        m_ids.insert(to, id);
    }
    entriesEdited();
    // Once in the new order, and once more after that order was sorted by start.
    RecomputeSchedule();
    RecomputeSchedule();
}
