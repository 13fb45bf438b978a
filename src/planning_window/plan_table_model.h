#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QList>
#include <QString>

class Clock;
class QMimeData;
class Worklist;
struct PlanEntry;

// The plan list as the view sees it: four columns "#", "Beginn", "Ende", "Aufgabe" over
// Worklist::entries() (the other fields stay hidden in the entry), with the row background and
// the per-cell text colours of the entry's state.
class PlanTableModel final : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PlanTableModel)

public:
    enum Column { NumberColumn = 0, StartColumn, EndColumn, TaskColumn, ColumnCount };

    // Row backgrounds by state.
    static constexpr QColor finishedColor{223, 255, 224};
    static constexpr QColor runningColor{255, 255, 170};
    static constexpr QColor conflictColor{255, 150, 150};
    static constexpr QColor tomorrowColor{229, 233, 255};
    static constexpr QColor laterColor{255, 230, 255};
    // Text of relative start and end times.
    static constexpr QColor relativeTimeColor{128, 128, 128};

    PlanTableModel(const Worklist& worklist, const Clock& clock, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A drag of rows carries only a mark of this model: the rows moved are the selected ones,
    // and a drop elsewhere (another list, another program) has nothing to take.
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    // Whether a drag came from this very model.
    bool isOwnDrag(const QMimeData* data) const;

    // Background of a row; invalid for the list's normal background.
    QColor rowBackground(const PlanEntry& entry) const;
    // Text colour of a cell; invalid for the list's normal text colour.
    static QColor cellForeground(const PlanEntry& entry, int column);

    // The entries changed behind the model: tells the views. Rows are followed by the entries'
    // identities, so a view's selection stays on the same entries when the schedule re-sorts
    // them, and never moves to another entry that merely reads alike. The result maps each old
    // row to its new row (-1: gone).
    QList<int> refresh();
    // Whether the last refresh had to reset the model (rows added or removed); the views have
    // then lost their selection and the caller may restore it from the row map.
    bool lastRefreshReset() const { return m_lastRefreshReset; }

private:
    QList<quint64> currentIds() const;

    const Worklist& m_worklist;
    const Clock& m_clock;
    QList<quint64> m_ids;
    bool m_lastRefreshReset = false;
};
