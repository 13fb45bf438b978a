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

} // namespace

// What one pass knows about an entry. Texts are read on first use only (so a field the pass
// overwrites anyway is never read), and the pass keeps the values in step with what it writes.
struct Worklist::Slot {
    Minute start = 0;
    int duration = 0;
    bool startKnown = false;
    bool durationKnown = false;
};

void Worklist::purgeOnNewDay(const QDate& today) {
    if (today != m_lastScheduleDay) {
        PurgeOldFinished();
        m_lastScheduleDay = today;
    }
}

void Worklist::RecomputeSchedule() {
    const QDateTime now = plantime::now(m_clock);
    purgeOnNewDay(now.date());

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
    }

    changed |= markConflictsAndNumber(info);
    if (changed)
        m_rowsChanged = true;
    notifyEntriesChanged();
    UpdateCaption();
}

bool Worklist::markConflictsAndNumber(const std::vector<Slot>& info) {
    const qsizetype n = m_entries.size();
    bool changed = false;
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
    return changed;
}

void Worklist::addEntries(const QList<NewEntry>& entries) {
    if (entries.isEmpty())
        return;
    RestartUpdateTimer restart(*m_host);
    const QDateTime now = plantime::now(m_clock);
    purgeOnNewDay(now.date());
    const auto appendAll = [&](qsizetype from) {
        for (qsizetype k = from; k < entries.size(); ++k)
            appendEntry(makeEntry(entries.at(k)));
        notifyEntriesChanged();
    };
    if (runActive()) {
        // Each computation would only have refreshed the caption.
        appendAll(0);
        UpdateCaption();
        return;
    }

    // The computation after each AddEntry, replayed on numbers. Everything it reads and writes
    // is here; the texts are written once at the end. A pass re-chains every relative row from
    // the first open one and sorts; after a pass that kept the order, every row already follows
    // its predecessor, so the next pass only has the new row to place. Only a pass after a
    // re-sort (a row sorted in earlier gets new neighbours) walks the whole list again.
    struct Row {
        Minute start = 0;
        int duration = 0;
        bool unit = false;
        bool open = false;
        bool pending = false;
        bool relative = false;
        bool placed = false;   // its times are the computation's
        bool released = false; // a fixed start that has come
    };
    m_entries.reserve(m_entries.size() + entries.size());
    m_ids.reserve(m_entries.size() + entries.size());
    std::vector<Row> rows;
    rows.reserve(static_cast<std::size_t>(m_entries.size() + entries.size()));
    const auto rowOf = [](const PlanEntry& e, Minute start, int duration) {
        Row r;
        r.start = start;
        r.duration = duration;
        r.unit = e.isUnit();
        r.open = e.isOpen();
        r.pending = e.isPending();
        r.relative = e.startMode == modeRelative;
        return r;
    };
    try {
        for (const PlanEntry& e : std::as_const(m_entries)) {
            int minutes = 0;
            // Only an open row's length is ever read.
            if (e.isOpen())
                minutes = planminutes::readInt(e.duration);
            else
                planminutes::tryReadInt(e.duration, &minutes);
            rows.push_back(rowOf(e, planminutes::readStart(e), minutes));
        }
    } catch (const plantime::ConversionError&) {
        // A row that does not convert stops every computation; the new rows still come in.
        appendAll(0);
        throw;
    }

    const Minute nowMinute = planminutes::fromDateTime(now);
    const Minute lowest = planminutes::firstMinute();
    const Minute highest = planminutes::lastMinute();
    const int gap = smallPause();
    // order[position] is a row (an index into m_entries, which grows in the order of adding).
    std::vector<qsizetype> order(rows.size());
    std::iota(order.begin(), order.end(), qsizetype(0));
    bool wholeList = true;
    bool firstPass = true;
    qsizetype firstRow = -1;
    std::vector<qsizetype> moved;
    std::vector<qsizetype> kept;
    std::vector<qsizetype> merged;

    for (const NewEntry& added : entries) {
        appendEntry(makeEntry(added));
        const PlanEntry& e = m_entries.constLast();
        rows.push_back(rowOf(e, planminutes::readStart(e), planminutes::readInt(e.duration)));
        order.push_back(m_entries.size() - 1);
        const qsizetype n = static_cast<qsizetype>(order.size());
        const qsizetype last = n - 1;
        const auto at = [&](qsizetype position) -> Row& {
            return rows[static_cast<std::size_t>(order[static_cast<std::size_t>(position)])];
        };

        // Fixed starts that have come turn relative: every other row has been through this.
        for (qsizetype p = wholeList ? 0 : last; p < n; ++p) {
            Row& r = at(p);
            if (r.pending && !r.relative && r.start <= nowMinute) {
                r.relative = true;
                r.released = true;
            }
        }

        moved.clear();
        const auto place = [&](qsizetype p, Minute start) {
            Row& r = at(p);
            start = std::clamp(start, lowest, highest);
            r.placed = true;
            if (r.start != start) {
                r.start = start;
                moved.push_back(p);
            }
        };
        qsizetype first = 0;
        while (first < n && !at(first).open)
            ++first;
        if (first == n)
            first = 0;
        if (order[static_cast<std::size_t>(first)] != firstRow) {
            firstRow = order[static_cast<std::size_t>(first)];
            wholeList = true;
        }
        if (at(first).relative)
            place(first, nowMinute);
        for (qsizetype p = wholeList ? first + 1 : std::max(first + 1, last); p < n; ++p) {
            const Row& before = at(p - 1);
            if (!at(p).relative || !before.open)
                continue;
            const Minute end = before.start + before.duration;
            place(p, before.unit && at(p).unit ? end + gap : end);
        }
        if (moved.empty() || moved.back() != last)
            moved.push_back(last);

        // Stable by start. The rows that did not move were in order already, so only the
        // neighbours of the moved ones need a look, and a re-sort merges the moved ones in.
        const auto startAt = [&](qsizetype p) { return at(p).start; };
        bool sorted = true;
        if (firstPass) {
            for (qsizetype p = 1; p < n && sorted; ++p)
                sorted = startAt(p - 1) <= startAt(p);
        } else {
            for (const qsizetype p : moved) {
                if ((p > 0 && startAt(p - 1) > startAt(p)) || (p < last && startAt(p) > startAt(p + 1))) {
                    sorted = false;
                    break;
                }
            }
        }
        const auto earlier = [&](qsizetype a, qsizetype b) {
            return startAt(a) < startAt(b) || (startAt(a) == startAt(b) && a < b);
        };
        if (!sorted) {
            // Positions, ordered by start and then by position: a stable sort.
            merged.clear();
            if (firstPass) {
                merged.resize(static_cast<std::size_t>(n));
                std::iota(merged.begin(), merged.end(), qsizetype(0));
                std::stable_sort(merged.begin(), merged.end(), earlier);
            } else {
                std::sort(moved.begin(), moved.end());
                kept.clear();
                for (qsizetype p = 0, m = 0; p < n; ++p) {
                    if (m < static_cast<qsizetype>(moved.size()) && moved[static_cast<std::size_t>(m)] == p)
                        ++m;
                    else
                        kept.push_back(p);
                }
                std::sort(moved.begin(), moved.end(), earlier);
                std::merge(kept.begin(), kept.end(), moved.begin(), moved.end(), std::back_inserter(merged),
                           earlier);
            }
            std::vector<qsizetype> reordered(merged.size());
            for (std::size_t k = 0; k < merged.size(); ++k)
                reordered[k] = order[static_cast<std::size_t>(merged[k])];
            order = std::move(reordered);
        }
        firstPass = false;
        wholeList = !sorted;
    }

    // The rows as the last pass left them.
    std::vector<Slot> info;
    info.reserve(order.size());
    QList<PlanEntry> sortedEntries;
    sortedEntries.reserve(m_entries.size());
    QList<quint64> sortedIds;
    sortedIds.reserve(m_ids.size());
    for (const qsizetype i : order) {
        const Row& r = rows[static_cast<std::size_t>(i)];
        PlanEntry& e = m_entries[i];
        if (r.released)
            e.startMode = modeRelative;
        if (r.placed) {
            planminutes::assignTime(e.startTime, r.start);
            planminutes::assignTime(e.endTime, r.start + r.duration);
            planminutes::assignDate(e.date, planminutes::dayOf(r.start));
        }
        info.push_back({r.start, r.duration, true, true});
        sortedEntries.append(std::move(e));
        sortedIds.append(m_ids.at(i));
    }
    m_entries = std::move(sortedEntries);
    m_ids = std::move(sortedIds);
    markConflictsAndNumber(info);
    m_rowsChanged = true;
    notifyEntriesChanged();
    UpdateCaption();
}

QString Worklist::captionText() const {
    QString text = QStringLiteral("Taktplan (") + QString::number(DoneCount()) + QLatin1Char('/') +
                   QString::number(PlannedTodayCount()) + QLatin1Char(')');
    if (runActive())
        text += m_captionSuffix;
    if (m_settings.showPercentileRanking)
        text += QStringLiteral(" - #") + QString::number(m_run ? m_run->percentileRank() : 0);
    return text;
}

void Worklist::UpdateCaption() {
    m_caption = captionText();
    m_host->captionChanged(m_caption);
}
