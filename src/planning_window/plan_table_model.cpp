#include "plan_table_model.h"

#include "clock.h"
#include "plan_time.h"
#include "value_text.h"
#include "worklist.h"

#include <QGuiApplication>
#include <QHash>
#include <QPalette>

PlanTableModel::PlanTableModel(const Worklist& worklist, const Clock& clock, QObject* parent)
    : QAbstractTableModel(parent), m_worklist(worklist), m_clock(clock) {
    for (const PlanEntry& e : m_worklist.entries())
        m_identities.append(identity(e));
}

int PlanTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_identities.size());
}

int PlanTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

Qt::ItemFlags PlanTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

QVariant PlanTableModel::data(const QModelIndex& index, int role) const {
    const auto& entries = m_worklist.entries();
    if (!index.isValid() || index.row() >= entries.size())
        return {};
    const PlanEntry& e = entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NumberColumn:
            return e.number;
        case StartColumn:
            return e.startTime;
        case EndColumn:
            return e.endTime;
        case TaskColumn:
            return e.displayText;
        default:
            return {};
        }
    case Qt::BackgroundRole: {
        const QColor c = rowBackground(e);
        return c.isValid() ? QVariant(c) : QVariant();
    }
    case Qt::ForegroundRole: {
        const QColor c = cellForeground(e, index.column());
        return c.isValid() ? QVariant(c) : QVariant();
    }
    default:
        return {};
    }
}

QColor PlanTableModel::rowBackground(const PlanEntry& e) const {
    QColor color;
    if (e.status == planvocab::statusDone || e.status == planvocab::statusBlinkOff)
        color = finishedColor;
    else if (e.status == planvocab::statusRunning || e.status == planvocab::statusBlinkOn)
        color = runningColor;

    if (e.conflictMark == planvocab::conflict)
        return conflictColor;
    const QDate tomorrow = m_clock.today().addDays(1);
    // Tomorrow is recognised by its text, later days by the day the text reads as.
    if (e.date == plantime::formatDate(tomorrow))
        return tomorrowColor;
    QDate day;
    if (valuetext::readDate(e.date, &day) && day > tomorrow)
        return laterColor;
    return color;
}

QColor PlanTableModel::cellForeground(const PlanEntry& e, int column) {
    const QPalette palette = QGuiApplication::palette();
    switch (column) {
    case StartColumn:
    case EndColumn:
        if (e.startMode == planvocab::modeRelative)
            return relativeTimeColor;
        if (e.startMode == planvocab::modeFixed)
            return palette.color(QPalette::Active, QPalette::Text);
        return {};
    case TaskColumn:
        // Pauses stand out in the accent colour of the desktop, as the highlight colour is
        // where the platforms keep it.
        if (e.kind == planvocab::kindPause)
            return palette.color(QPalette::Active, QPalette::Highlight);
        if (e.kind == planvocab::kindUnit)
            return palette.color(QPalette::Active, QPalette::Text);
        return {};
    default:
        return {};
    }
}

QString PlanTableModel::identity(const PlanEntry& e) {
    // What the schedule never changes on its own: the times slide and the status blinks, but an
    // entry keeps its text, kind and length until the user edits it.
    return e.displayText + QChar(0x1f) + e.kind + QChar(0x1f) + e.duration;
}

QList<int> PlanTableModel::refresh() {
    const auto& entries = m_worklist.entries();
    QList<QString> now;
    now.reserve(entries.size());
    for (const PlanEntry& e : entries)
        now.append(identity(e));

    // Each old row goes to the first unused new row with the same identity, in order, so equal
    // entries keep their relative order.
    QHash<QString, QList<int>> freeRows;
    for (int r = static_cast<int>(now.size()) - 1; r >= 0; --r)
        freeRows[now.at(r)].append(r);
    QList<int> map(m_identities.size(), -1);
    for (int r = 0; r < m_identities.size(); ++r) {
        auto it = freeRows.find(m_identities.at(r));
        if (it != freeRows.end() && !it->isEmpty())
            map[r] = it->takeLast();
    }

    m_lastRefreshReset = false;
    if (now.size() != m_identities.size()) {
        beginResetModel();
        m_identities = std::move(now);
        endResetModel();
        m_lastRefreshReset = true;
        return map;
    }
    const int rows = static_cast<int>(now.size());
    if (rows == 0)
        return map;
    if (now != m_identities) {
        // Rows whose content changed in place (an edit) keep their place.
        QList<bool> taken(rows, false);
        for (int to : map) {
            if (to >= 0)
                taken[to] = true;
        }
        for (int r = 0; r < rows; ++r) {
            if (map[r] < 0 && !taken[r]) {
                map[r] = r;
                taken[r] = true;
            }
        }
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& i : from) {
            const int row = map.value(i.row(), -1);
            to.append(row >= 0 ? index(row, i.column()) : QModelIndex());
        }
        changePersistentIndexList(from, to);
        m_identities = std::move(now);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    emit dataChanged(index(0, 0), index(rows - 1, ColumnCount - 1));
    return map;
}
