#include "plan_table_model.h"

#include <QCoreApplication>
#include <QMimeData>

#include "clock.h"
#include "plan_time.h"
#include "value_text.h"
#include "worklist.h"

#include <QGuiApplication>
#include <QHash>
#include <QPalette>

PlanTableModel::PlanTableModel(const Worklist& worklist, const Clock& clock, QObject* parent)
    : QAbstractTableModel(parent), m_worklist(worklist), m_clock(clock), m_ids(currentIds()) {}

QList<quint64> PlanTableModel::currentIds() const {
    QList<quint64> ids;
    const qsizetype n = m_worklist.entries().size();
    ids.reserve(n);
    for (qsizetype r = 0; r < n; ++r)
        ids.append(m_worklist.entryId(r));
    return ids;
}

int PlanTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_ids.size());
}

int PlanTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

Qt::ItemFlags PlanTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Rows are dragged within the list only; the Planning window places them where they drop.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

namespace {

const QString rowsMimeType = QStringLiteral("application/x-taktplan-plan-rows");

} // namespace

QStringList PlanTableModel::mimeTypes() const {
    return {rowsMimeType};
}

QMimeData* PlanTableModel::mimeData(const QModelIndexList& indexes) const {
    (void)indexes;
    auto* data = new QMimeData;
    data->setData(rowsMimeType, QByteArray::number(QCoreApplication::applicationPid()) + ':' +
                                    QByteArray::number(reinterpret_cast<quintptr>(this)));
    return data;
}

bool PlanTableModel::isOwnDrag(const QMimeData* data) const {
    if (!data || !data->hasFormat(rowsMimeType))
        return false;
    const QByteArray mark = QByteArray::number(QCoreApplication::applicationPid()) + ':' +
                            QByteArray::number(reinterpret_cast<quintptr>(this));
    return data->data(rowsMimeType) == mark;
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

QList<int> PlanTableModel::refresh() {
    QList<quint64> now = currentIds();
    QHash<quint64, int> rowOf;
    rowOf.reserve(now.size());
    for (int r = 0; r < now.size(); ++r)
        rowOf.insert(now.at(r), r);
    QList<int> map(m_ids.size(), -1);
    bool allKept = now.size() == m_ids.size();
    for (int r = 0; r < m_ids.size(); ++r) {
        map[r] = rowOf.value(m_ids.at(r), -1);
        allKept = allKept && map[r] >= 0;
    }

    m_lastRefreshReset = false;
    if (!allKept) {
        beginResetModel();
        m_ids = std::move(now);
        endResetModel();
        m_lastRefreshReset = true;
        return map;
    }
    const int rows = static_cast<int>(now.size());
    if (rows == 0)
        return map;
    if (now != m_ids) {
        emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
        const QModelIndexList from = persistentIndexList();
        QModelIndexList to;
        to.reserve(from.size());
        for (const QModelIndex& i : from)
            to.append(index(map.at(i.row()), i.column()));
        changePersistentIndexList(from, to);
        m_ids = std::move(now);
        emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    }
    emit dataChanged(index(0, 0), index(rows - 1, ColumnCount - 1));
    return map;
}
