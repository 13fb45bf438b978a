#include "plan_list_view.h"

#include "plan_table_model.h"
#include "worklist.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QItemSelectionModel>

#include <algorithm>

using namespace Qt::StringLiterals;

PlanListView::PlanListView(Worklist& worklist, const Clock& clock, QWidget* parent)
    : QTableView(parent), m_worklist(worklist), m_model(new PlanTableModel(worklist, clock, this)) {
    setObjectName(u"lvPlan"_s);
    setModel(m_model);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrap(false);
    setTabKeyNavigation(false);
    horizontalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionResizeMode(PlanTableModel::TaskColumn, QHeaderView::Stretch);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setContextMenuPolicy(Qt::CustomContextMenu);
    // Rows are dragged within the list (copies only: the drop places them, nothing is removed by
    // the drag itself).
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    viewport()->installEventFilter(this);
}

void PlanListView::refresh() {
    const QList<int> selected = selectedRows();
    const int current = currentIndex().row();
    const QList<int> moved = m_model->refresh();
    if (!m_model->lastRefreshReset())
        return;
    // Rows were added or removed: the entries that were selected stay selected.
    QItemSelection selection;
    for (int row : selected) {
        const int to = moved.value(row, -1);
        if (to >= 0)
            selection.select(m_model->index(to, 0), m_model->index(to, PlanTableModel::ColumnCount - 1));
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    const int currentTo = moved.value(current, -1);
    if (currentTo >= 0)
        selectionModel()->setCurrentIndex(m_model->index(currentTo, 0), QItemSelectionModel::NoUpdate);
}

QList<int> PlanListView::selectedRows() const {
    QList<int> rows;
    for (const QModelIndex& i : selectionModel()->selectedRows())
        rows.append(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void PlanListView::focusEntry(quint64 id) {
    const qsizetype row = id ? m_worklist.rowOf(id) : -1;
    if (row >= 0)
        selectionModel()->setCurrentIndex(m_model->index(int(row), 0), QItemSelectionModel::NoUpdate);
}

void PlanListView::fitToFont(const QFont& font) {
    const QFontMetrics fm(font);
    const int padding = fm.horizontalAdvance(u' ') * 2 + 2;
    QHeaderView* header = horizontalHeader();
    header->resizeSection(PlanTableModel::NumberColumn,
                          std::max(20, fm.horizontalAdvance(u"99"_s) + padding));
    const int timeWidth = std::max(40, fm.horizontalAdvance(u"00:00"_s) + padding);
    header->resizeSection(PlanTableModel::StartColumn, timeWidth);
    header->resizeSection(PlanTableModel::EndColumn, timeWidth);
    verticalHeader()->setDefaultSectionSize(fm.height() + 4);
}

bool PlanListView::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched != viewport() ||
        (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop))
        return QTableView::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    // Only rows of this list, and only while drops are allowed.
    if (!m_model->isOwnDrag(drop->mimeData()) || !dropsAllowed || !dropsAllowed()) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop && dropRows)
        dropRows(selectedRows(), indexAt(drop->position().toPoint()).row());
    return true;
}
