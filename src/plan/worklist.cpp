#include "worklist.h"

#include <algorithm>
#include <utility>

#include "activity_log.h"
#include "clock.h"
#include "plan_minutes.h"
#include "plan_time.h"
#include "run_control.h"
#include "settings.h"

namespace {

using planvocab::statusDone;
using planvocab::statusPending;
using planvocab::statusRunning;

// Finished records whose title starts like the pause input are pauses.
bool isPauseTitle(const QString& title) {
    if (title == QLatin1String("p") || title == QLatin1String("P"))
        return true;
    return title.startsWith(QLatin1String("p ")) || title.startsWith(QLatin1String("P "));
}

} // namespace

Worklist::Worklist(const Clock& clock, const Settings& settings)
    : m_clock(clock), m_settings(settings), m_host(&m_noHost), m_lastScheduleDay(clock.today()) {}

Worklist::Worklist(const Clock& clock, const Settings& settings, PlanningHost& host)
    : Worklist(clock, settings) {
    m_host = &host;
}

bool Worklist::runActive() const {
    return m_run && m_run->active();
}

void Worklist::appendEntry(PlanEntry entry) {
    m_entries.append(std::move(entry));
    m_ids.append(m_nextId++);
    m_rowsChanged = true;
}

template <typename Predicate> qsizetype Worklist::removeEntriesIf(Predicate remove) {
    qsizetype kept = 0;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (remove(m_entries.at(i), m_ids.at(i)))
            continue;
        if (kept != i) {
            m_entries[kept] = std::move(m_entries[i]);
            m_ids[kept] = m_ids.at(i);
        }
        ++kept;
    }
    const qsizetype removed = m_entries.size() - kept;
    if (removed > 0) {
        m_entries.resize(kept);
        m_ids.resize(kept);
        m_rowsChanged = true;
    }
    return removed;
}

void Worklist::AddEntry(const QString& title, bool isPause, const QDateTime& start, int duration, bool fixed,
                        const QString& status) {
    RestartUpdateTimer restart(*m_host);
    appendEntry(makeEntry({title, isPause, start, duration, fixed, status}));
    try {
        RecomputeSchedule();
        UpdateCaption();
    } catch (...) {
        // The new row is there even when another entry does not convert.
        notifyEntriesChanged();
        throw;
    }
}

PlanEntry Worklist::makeEntry(const NewEntry& entry) {
    // Whatever time zone the caller's value carries, its date and time are read as the wall clock.
    const QDateTime begin = plantime::wall(entry.start.date(), entry.start.time());
    const QDateTime end = begin.addSecs(qint64(entry.duration) * 60);
    const QDateTime now = plantime::now(m_clock);

    PlanEntry e;
    e.startTime = plantime::formatTime(begin);
    e.endTime = plantime::formatTime(end);
    if (entry.isPause) {
        e.displayText = QStringLiteral("Pause: %1 min").arg(entry.duration);
        if (!entry.title.isEmpty())
            e.displayText += QStringLiteral(" (") + entry.title + QLatin1Char(')');
    } else {
        e.displayText = entry.title;
    }
    e.startMode = entry.fixed ? planvocab::modeFixed : planvocab::modeRelative;
    e.kind = entry.isPause ? planvocab::kindPause : planvocab::kindUnit;
    e.duration = QString::number(entry.duration);

    if (entry.status == statusDone) {
        e.status = statusDone;
        e.date = plantime::formatDate(begin.date());
    } else if (entry.status == statusRunning) {
        // Only a plan file saved while the entry ran gives this. One entry runs at a time: a
        // second running line (a hand-edited file) is an entry still to do.
        const bool another = std::any_of(m_entries.cbegin(), m_entries.cend(),
                                         [](const PlanEntry& other) { return other.isRunning(); });
        e.status = entry.fixed && !another ? statusRunning : statusPending;
        e.date = plantime::formatDate(begin.date());
        // makeEntry's row is appended next, under the id m_nextId.
        if (e.isRunning() && e.isUnit())
            m_readBackRunning = ReadBackRunning{m_nextId, e};
        if (another) {
            e.startMode = planvocab::modeRelative;
        } else if (now > end.addMSecs(1)) {
            e.status = statusPending;
            e.startMode = planvocab::modeRelative;
            m_automaticStartFlag = true;
        }
    } else {
        e.status = statusPending;
        // A fixed start keeps its day even when it has passed: moving it to tomorrow would make
        // the plan wait a whole day for an entry that was due. The schedule lets it follow the
        // plan at once instead.
        e.date = plantime::formatDate(entry.fixed ? begin.date() : now.date());
    }
    e.conflictMark = QString();
    return e;
}

void Worklist::PurgeOldFinished() {
    const qint64 today = m_clock.today().toJulianDay();
    removeEntriesIf([today](const PlanEntry& e, quint64) {
        return e.status == statusDone && planminutes::readDay(e.date) != today;
    });
    m_removedDoneCount = 0;
    notifyEntriesChanged();
}

void Worklist::ClearOpenEntries() {
    removeEntriesIf([](const PlanEntry& e, quint64) { return e.isOpen(); });
    notifyEntriesChanged();
    UpdateCaption();
}

int Worklist::deleteOpenEntries(const QList<int>& rows) {
    if (runActive())
        return 0;
    QList<quint64> doomed;
    for (const int row : rows) {
        if (row >= 0 && row < m_entries.size() && m_entries.at(row).isOpen())
            doomed.append(m_ids.at(row));
    }
    if (doomed.isEmpty())
        return 0;
    // By identity, so that a row listed twice or rows in any order take exactly their entries.
    const qsizetype removed =
        removeEntriesIf([&doomed](const PlanEntry&, quint64 id) { return doomed.contains(id); });
    notifyEntriesChanged();
    RecomputeSchedule();
    UpdateCaption();
    return static_cast<int>(removed);
}

int Worklist::removeFinished() {
    // Only today's stay counted as done; a unit left over from yesterday just goes. Counted
    // before anything goes, so a date that does not read leaves the list whole.
    const qint64 today = m_clock.today().toJulianDay();
    int todays = 0;
    for (const PlanEntry& e : m_entries) {
        if (e.isFinished() && planminutes::readDay(e.date) == today)
            ++todays;
    }
    const qsizetype removed = removeEntriesIf([](const PlanEntry& e, quint64) { return e.isFinished(); });
    m_removedDoneCount += todays;
    notifyEntriesChanged();
    UpdateCaption();
    return static_cast<int>(removed);
}

void Worklist::removeEntry(qsizetype row) {
    const quint64 id = m_ids.at(row);
    removeEntriesIf([id](const PlanEntry&, quint64 rowId) { return rowId == id; });
    notifyEntriesChanged();
}

void Worklist::startPlanningDay() {
    m_lastScheduleDay = m_clock.today();
    m_removedDoneCount = 0;
}

void Worklist::setCaptionSuffix(const QString& suffix) {
    m_captionSuffix = suffix;
    UpdateCaption();
}

void Worklist::markRunning(qsizetype row) {
    m_entries[row].status = planvocab::statusRunning;
    entriesEdited();
}

void Worklist::markRunningFrom(qsizetype row, const QDateTime& start, int minutes) {
    PlanEntry& e = m_entries[row];
    e.status = planvocab::statusRunning;
    e.startMode = planvocab::modeFixed;
    e.startTime = plantime::formatTime(start);
    e.endTime = plantime::formatTime(start.addSecs(qint64(minutes) * 60));
    e.date = plantime::formatDate(start.date());
    entriesEdited();
}

void Worklist::markFinished(qsizetype row) {
    m_entries[row].status = planvocab::statusBlinkOn;
    entriesEdited();
}

void Worklist::markPending(qsizetype row) {
    m_entries[row].status = planvocab::statusPending;
    m_entries[row].startMode = planvocab::modeRelative;
    entriesEdited();
}

void Worklist::fixStart(qsizetype row) {
    m_entries[row].startMode = planvocab::modeFixed;
    entriesEdited();
}

void Worklist::makeRelative(qsizetype row) {
    m_entries[row].startMode = planvocab::modeRelative;
    entriesEdited();
}

void Worklist::entriesEdited() {
    m_rowsChanged = true;
    notifyEntriesChanged();
}

bool Worklist::finishBlinkStep() {
    qsizetype row = -1;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const PlanEntry& e = m_entries.at(i);
        if (e.isUnit() &&
            (e.isRunning() || e.status == QLatin1String("FERTIG1") || e.status == QLatin1String("FERTIG2"))) {
            row = i;
            break;
        }
    }
    // A field change only: the view repaints, the rows stay where they are.
    m_rowsChanged = row >= 0;
    if (m_blinkCounter >= blinkChanges || row < 0) {
        if (row >= 0)
            m_entries[row].status = statusDone;
        m_blinkCounter = 0;
        notifyEntriesChanged();
        UpdateCaption();
        return false;
    }
    QString& status = m_entries[row].status;
    status = status == QLatin1String("FERTIG2") ? QStringLiteral("FERTIG1") : QStringLiteral("FERTIG2");
    ++m_blinkCounter;
    notifyEntriesChanged();
    return true;
}

bool Worklist::LoadTodaysFinishedUnits(const ActivityLog& log) {
    const bool settled = settleLoggedRunningUnit(log);
    addFinishedRecords(log.FinishedUnits(m_clock.today()));
    return settled;
}

bool Worklist::settleLoggedRunningUnit(const ActivityLog& log) {
    const std::optional<ReadBackRunning> read = std::exchange(m_readBackRunning, std::nullopt);
    if (!read)
        return false;
    qsizetype row = rowOf(read->id);
    if (row < 0)
        return false;
    const PlanEntry& unit = read->entry;
    const int minutes = planminutes::readInt(unit.duration);
    const QDateTime start = planminutes::toDateTime(planminutes::readStart(unit));
    // The line the unit itself completes when it ends: the program ended after writing it and
    // before saving the plan. Only the log's very last line can be that moment.
    if (log.LastLine() !=
        ActivityLog::unitLine(start, minutes, unit.displayText).mid(2) + ActivityLog::finishMark())
        return false;

    // As the end of the unit would have left the plan: the entry after it keeps the start it
    // had while the unit ran (so its times are computed with the unit still running), and the
    // unit itself comes back from the log with today's finished units.
    m_entries[row] = unit;
    m_automaticStartFlag = false;
    m_rowsChanged = true;
    RecomputeSchedule();
    row = rowOf(read->id);
    if (row + 1 < m_entries.size())
        m_entries[row + 1].startMode = planvocab::modeFixed;
    removeEntry(row);
    UpdateCaption();
    return true;
}

void Worklist::addFinishedRecords(const QList<FinishedUnit>& records) {
    for (const FinishedUnit& r : records)
        AddEntry(r.title, isPauseTitle(r.title), r.start, r.minutes, true, statusDone);
}

int Worklist::FirstOpenIndex() const {
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        if (m_entries.at(i).isOpen())
            return static_cast<int>(i);
    }
    return -1;
}

int Worklist::FirstOpenTomorrowIndex() const {
    const QString tomorrow = plantime::formatDate(m_clock.today().addDays(1));
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const PlanEntry& e = m_entries.at(i);
        if (e.status != statusDone && e.date == tomorrow)
            return static_cast<int>(i);
    }
    return -1;
}

namespace {

const PlanEntry* firstPending(const QList<PlanEntry>& entries, bool unitsOnly) {
    for (const PlanEntry& e : entries) {
        if (e.isPending() && (!unitsOnly || e.isUnit()))
            return &e;
    }
    return nullptr;
}

QDateTime startOf(const PlanEntry* e) {
    return e ? planminutes::toDateTime(planminutes::readStart(*e)) : QDateTime();
}

} // namespace

QString Worklist::NextPendingTitle() const {
    const PlanEntry* e = firstPending(m_entries, false);
    return e ? e->displayText : QString();
}

QString Worklist::NextPendingUnitTitle() const {
    const PlanEntry* e = firstPending(m_entries, true);
    return e ? e->displayText : QString();
}

bool Worklist::NextPendingIsPause() const {
    const PlanEntry* e = firstPending(m_entries, false);
    return e && !e->isUnit();
}

QDateTime Worklist::NextPendingStart() const {
    return startOf(firstPending(m_entries, false));
}

QDateTime Worklist::NextPendingUnitStart() const {
    return startOf(firstPending(m_entries, true));
}

int Worklist::DoneCount() const {
    // Counted by the day a unit began, as the log and PlannedTodayCount count it: a unit that
    // ran over midnight is yesterday's, also while it still blinks after the change of day.
    const qint64 today = m_clock.today().toJulianDay();
    int n = 0;
    for (const PlanEntry& e : m_entries) {
        if (e.isFinished() && planminutes::readDay(e.date) == today)
            ++n;
    }
    return n + m_removedDoneCount;
}

int Worklist::PlannedTodayCount() const {
    const qint64 today = m_clock.today().toJulianDay();
    int n = 0;
    for (const PlanEntry& e : m_entries) {
        if (e.isUnit() && planminutes::readDay(e.date) == today)
            ++n;
    }
    return n + m_removedDoneCount;
}

int Worklist::smallPause() const {
    return std::max(1, m_settings.KleinePause);
}

void Worklist::notifyEntriesChanged() {
    if (!m_rowsChanged)
        return;
    m_rowsChanged = false;
    m_host->entriesChanged();
}
