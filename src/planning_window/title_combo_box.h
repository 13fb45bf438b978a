#pragma once

#include <QCollator>
#include <QComboBox>
#include <QStringList>

// The input field cbbAufgabe: free text plus a drop-down list of titles that stays sorted
// case-insensitively. Qt itself never inserts the typed text and offers no completion, so the
// text is exactly what was typed. It has no context menu at all.
class TitleComboBox final : public QComboBox {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TitleComboBox)

public:
    explicit TitleComboBox(QWidget* parent = nullptr);

    // Empties the drop-down list and fills it with the titles (sorted); the text is left alone.
    void setTitles(const QStringList& titles);
    QStringList titles() const;
    // Exact, case-sensitive lookup; -1 when no row equals the text.
    int findTitle(const QString& title) const;
    // Adds the title at its sorted place unless a row equals it exactly. Returns its row.
    int addTitle(const QString& title);
    // Makes the row the selected one and shows its text in the field.
    void selectRow(int row);

    // The row that counts as selected: the highlighted row while the list is dropped down,
    // otherwise the row last picked from the list (until the user types). -1 when none.
    int selectedRow() const;

    QString text() const;
    void setText(const QString& text);
    void selectAllText();
    // Selects from the character at start to the end.
    void selectFrom(int start);

    // "Löschen" (Del): deletes the selection, or else the character after the caret, puts the
    // caret where the deletion began, and removes the selected row from the drop-down list.
    void deleteAtCaret();

    // Opens the list on the row that reads as the field does, so that Del and Enter in the
    // list act on the row the user sees highlighted; none is highlighted when none matches.
    void showPopup() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int sortedPosition(const QString& title) const;

    QCollator m_collator;
    int m_pickedRow = -1;
};
