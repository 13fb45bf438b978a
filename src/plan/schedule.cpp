// The schedule computation of the plan list: start and end times, order, conflicts, unit
// numbers and the window caption.

#include "worklist.h"

#include "plan_minutes.h"
#include "plan_time.h"
#include "run_control.h"
#include "settings.h"

#include <algorithm>
#include <numeric>
#include <vector>

using planminutes::Minute;

namespace {

using planvocab::modeRelative;
const QString noMark;

// What one pass knows about an entry. Texts are read on first use only (so a field the pass
// overwrites anyway is never read), and the pass keeps the values in step with what it writes.
struct Slot {
    Minute start = 0;
    int duration = 0;
    bool startKnown = false;
    bool durationKnown = false;
};

} // namespace

void Worklist::settleSchedule() {
    // A pass chains the relative entries in list order and sorts afterwards, so an entry sorted
    // in between fixed ones is chained anew by the next pass. A few passes settle any file the
    // program writes; a tick carries on with the rest of a stranger one.
    constexpr int maxPasses = 4;
    for (int pass = 0; pass < maxPasses; ++pass) {
        RecomputeSchedule();
        if (!m_reordered)
            break;
    }
}

void Worklist::RecomputeSchedule() {
    m_reordered = false;
    const QDateTime now = plantime::now(m_clock);
    const QDate today = now.date();

    // A new day drops yesterday's finished units, also while a plan runs.
    if (today != lastScheduleDay) {
        PurgeOldFinished();
        lastScheduleDay = today;
    }

    // While the engine runs, the times are what the running plan goes by: leave them alone.
    if (m_entries.isEmpty() || runActive()) {
        notifyEntriesChanged();
        UpdateCaption();
        return;
    }

    const qsizetype n = m_entries.size();
    std::vector<Slot> info(static_cast<std::size_t>(n));
    auto startOf = [&](qsizetype i) -> Minute {
        Slot& s = info[static_cast<std::size_t>(i)];
        if (!s.startKnown) {
            s.start = planminutes::readStart(m_entries.at(i));
            s.startKnown = true;
        }
        return s.start;
    };
    auto durationOf = [&](qsizetype i) -> int {
        Slot& s = info[static_cast<std::size_t>(i)];
        if (!s.durationKnown) {
            s.duration = planminutes::readInt(m_entries.at(i).duration);
            s.durationKnown = true;
        }
        return s.duration;
    };
    // All three fields of a relative entry are written together, after everything that may
    // throw has been read, so an entry is never left half moved.
    // An entry that would start past the last date a text can hold stays on that last minute:
    // the entries piled up there show as conflicts, and every date written reads back.
    auto place = [&](qsizetype i, Minute start, int duration) {
        start = std::clamp(start, planminutes::firstMinute(), planminutes::lastMinute());
        const qint64 day = planminutes::dayOf(start);
        PlanEntry& e = m_entries[i];
        bool c = planminutes::assignTime(e.startTime, start);
        c |= planminutes::assignTime(e.endTime, start + duration);
        c |= planminutes::assignDate(e.date, day);
        Slot& s = info[static_cast<std::size_t>(i)];
        s.start = start;
        s.startKnown = true;
        return c;
    };

    bool changed = false;
    const Minute nowMinute = planminutes::fromDateTime(now);

    // Fixed starts that have come no longer hold their entry back; from now on it follows its
    // predecessor like any relative entry.
    for (qsizetype i = 0; i < n; ++i) {
        const PlanEntry& e = m_entries.at(i);
        if (e.isPending() && e.isFixed() && startOf(i) <= nowMinute) {
            m_entries[i].startMode = modeRelative;
            changed = true;
        }
    }

    // The first open entry starts now.
    qsizetype first = FirstOpenIndex();
    if (first < 0)
        first = 0;
    if (m_entries.at(first).startMode == modeRelative)
        changed |= place(first, nowMinute, durationOf(first));

    // Every following relative entry starts where its predecessor ends, with the small pause
    // between two units. One pass front to back carries a whole chain.
    const int gap = smallPause();
    for (qsizetype i = first + 1; i < n; ++i) {
        const PlanEntry& e = m_entries.at(i);
        const PlanEntry& p = m_entries.at(i - 1);
        if (e.startMode != modeRelative || p.isFinished())
            continue;
        const Minute pEnd = startOf(i - 1) + durationOf(i - 1);
        // A pause before or after takes the place of the small pause.
        const Minute start = (p.isUnit() && e.isUnit()) ? pEnd + gap : pEnd;
        changed |= place(i, start, durationOf(i));
    }

    // Read everything the rest needs before the order changes, so a field that does not
    // convert stops the pass with the list still whole and in its previous order. Every open
    // entry's length is read, wherever it stands now: the sort may move the last one up.
    for (qsizetype i = 0; i < n; ++i) {
        startOf(i);
        if (m_entries.at(i).isOpen())
            durationOf(i);
    }

    // Stable: entries with equal starts keep their order (they are marked as conflicts anyway).
    const auto earlier = [](const Slot& a, const Slot& b) { return a.start < b.start; };
    if (!std::is_sorted(info.begin(), info.end(), earlier)) {
        std::vector<qsizetype> order(info.size());
        std::iota(order.begin(), order.end(), qsizetype(0));
        std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
            return earlier(info[static_cast<std::size_t>(a)], info[static_cast<std::size_t>(b)]);
        });
        QList<PlanEntry> sorted;
        sorted.reserve(n);
        QList<quint64> sortedIds;
        sortedIds.reserve(n);
        std::vector<Slot> sortedInfo;
        sortedInfo.reserve(info.size());
        for (const qsizetype i : order) {
            sorted.append(std::move(m_entries[i]));
            sortedIds.append(m_ids.at(i));
            sortedInfo.push_back(info[static_cast<std::size_t>(i)]);
        }
        m_entries = std::move(sorted);
        m_ids = std::move(sortedIds);
        info = std::move(sortedInfo);
        changed = true;
        m_reordered = true;
    }

    // Conflicts with the open entry before, and unit numbers that restart on each day.
    std::vector<bool> marked(info.size(), false);
    int counter = 1;
    for (qsizetype i = 0; i < n; ++i) {
        const Slot& a = info[static_cast<std::size_t>(i)];
        const bool hasNext = i + 1 < n;
        const PlanEntry& ea = m_entries.at(i);
        if (hasNext && ea.isOpen()) {
            const Slot& b = info[static_cast<std::size_t>(i + 1)];
            const PlanEntry& eb = m_entries.at(i + 1);
            const Minute aEnd = a.start + a.duration;
            bool conflict = false;
            if (aEnd == b.start)
                // Two units need the small pause or a pause entry between them.
                conflict = !ea.isPause() && !eb.isPause();
            else if (a.start == b.start)
                conflict = true;
            else
                conflict = b.start > a.start && b.start < aEnd;
            marked[static_cast<std::size_t>(i + 1)] = conflict;
        }
        if (ea.isUnit()) {
            changed |= planminutes::assignNumber(m_entries[i].number, counter);
            ++counter;
        }
        if (hasNext &&
            planminutes::dayOf(info[static_cast<std::size_t>(i + 1)].start) != planminutes::dayOf(a.start))
            counter = 1;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const QString& want = marked[static_cast<std::size_t>(i)] ? planvocab::conflict : noMark;
        PlanEntry& e = m_entries[i];
        if (e.conflictMark != want) {
            e.conflictMark = want;
            changed = true;
        }
    }

    if (changed)
        m_rowsChanged = true;
    notifyEntriesChanged();
    UpdateCaption();
}

int Worklist::lvPlanCompare(const PlanEntry& a, const PlanEntry& b) {
    const Minute sa = planminutes::readStart(a);
    const Minute sb = planminutes::readStart(b);
    return sa < sb ? -1 : (sa > sb ? 1 : 0);
}

QString Worklist::captionText() const {
    QString text = QStringLiteral("Taktplan (") + QString::number(DoneCount()) + QLatin1Char('/') +
                   QString::number(PlannedTodayCount()) + QLatin1Char(')');
    if (runActive())
        text += captionSuffix;
    if (m_settings.showPercentileRanking)
        text += QStringLiteral(" - #") + QString::number(m_run ? m_run->percentileRank() : 0);
    return text;
}

void Worklist::UpdateCaption() {
    m_caption = captionText();
    m_host->captionChanged(m_caption);
}
