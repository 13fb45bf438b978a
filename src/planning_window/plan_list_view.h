#pragma once

#include <QList>
#include <QTableView>

#include <functional>

class Clock;
class PlanTableModel;
class Worklist;

// The Planning window's plan list: the plan's rows, the selection kept on the same entries when
// rows come and go, and rows dragged within the list, which the drop places.
class PlanListView final : public QTableView {
public:
    PlanListView(Worklist& worklist, const Clock& clock, QWidget* parent);

    // Rows dropped before the row target (-1: below the last); taken only while
    // dropsAllowed answers true.
    std::function<void(const QList<int>& rows, int target)> dropRows;
    std::function<bool()> dropsAllowed;

    // The plan's rows again; the entries that were selected stay selected.
    void refresh();
    // Sorted.
    QList<int> selectedRows() const;
    // The entry gets the focus mark (none: nothing changes).
    void focusEntry(quint64 id);
    // Column widths and row height for the font the list is shown with.
    void fitToFont(const QFont& font);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Worklist& m_worklist;
    PlanTableModel* m_model;
};
