#include "title_combo_box.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

// The order of the user's language; where the system names no language (the C locale) a
// neutral Latin order still keeps "Äpfel" beside "Apfel" rather than after "Zoo".
QLocale collationLocale() {
    const QLocale system = QLocale::system();
    return system.language() == QLocale::C ? QLocale(QLocale::English, QLocale::UnitedStates) : system;
}

} // namespace

TitleComboBox::TitleComboBox(QWidget* parent) : QComboBox(parent), m_collator(collationLocale()) {
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setMaxVisibleItems(100);
    setDuplicatesEnabled(true);
    // Neither the field's own menu nor the edit's standard menu: right-click shows nothing.
    setContextMenuPolicy(Qt::PreventContextMenu);
    lineEdit()->setContextMenuPolicy(Qt::PreventContextMenu);

    connect(this, &QComboBox::activated, this, [this](int row) { m_pickedRow = row; });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_pickedRow = -1; });
    view()->installEventFilter(this);
}

void TitleComboBox::setTitles(const QStringList& titles) {
    const QString keep = text();
    clear();
    m_pickedRow = -1;
    for (const QString& t : titles)
        addTitle(t);
    setText(keep);
}

QStringList TitleComboBox::titles() const {
    QStringList result;
    for (int i = 0; i < count(); ++i)
        result.append(itemText(i));
    return result;
}

int TitleComboBox::findTitle(const QString& title) const {
    for (int i = 0; i < count(); ++i) {
        if (itemText(i) == title)
            return i;
    }
    return -1;
}

int TitleComboBox::sortedPosition(const QString& title) const {
    int lo = 0;
    int hi = count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (m_collator.compare(itemText(mid), title) <= 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int TitleComboBox::addTitle(const QString& title) {
    const int found = findTitle(title);
    if (found >= 0)
        return found;
    const int at = sortedPosition(title);
    // Inserting must not change the text the user sees.
    const QString keep = text();
    insertItem(at, title);
    setText(keep);
    if (m_pickedRow >= at)
        ++m_pickedRow;
    return at;
}

void TitleComboBox::selectRow(int row) {
    if (row < 0 || row >= count())
        return;
    setCurrentIndex(row);
    setText(itemText(row));
    m_pickedRow = row;
}

int TitleComboBox::selectedRow() const {
    if (view()->isVisible()) {
        const int row = view()->currentIndex().row();
        if (row >= 0)
            return row;
    }
    return m_pickedRow < count() ? m_pickedRow : -1;
}

QString TitleComboBox::text() const {
    return lineEdit()->text();
}

void TitleComboBox::setText(const QString& text) {
    lineEdit()->setText(text);
}

void TitleComboBox::selectAllText() {
    lineEdit()->selectAll();
}

void TitleComboBox::selectFrom(int start) {
    const int length = static_cast<int>(text().size());
    lineEdit()->setSelection(start, std::max(0, length - start));
}

void TitleComboBox::deleteAtCaret() {
    QLineEdit* edit = lineEdit();
    QString t = edit->text();
    int at = edit->cursorPosition();
    if (edit->hasSelectedText()) {
        at = edit->selectionStart();
        t.remove(at, edit->selectedText().size());
    } else if (at < t.size()) {
        t.remove(at, 1);
    }
    const int row = selectedRow();
    const bool dropped = view()->isVisible();
    if (row >= 0) {
        // removeItem would put the neighbouring row's text into the field.
        removeItem(row);
        m_pickedRow = -1;
    }
    edit->setText(t);
    edit->setCursorPosition(at);
    if (dropped && row >= 0) {
        // The open list takes its new size (no blank strip where the row was), with the
        // highlight on the row that moved up into the removed one's place.
        QComboBox::showPopup();
        const int next = std::min(row, count() - 1);
        view()->setCurrentIndex(next >= 0 ? model()->index(next, modelColumn()) : QModelIndex());
    }
}

void TitleComboBox::showPopup() {
    const int row = findTitle(text());
    QComboBox::showPopup();
    view()->setCurrentIndex(row >= 0 ? model()->index(row, modelColumn()) : QModelIndex());
}

bool TitleComboBox::eventFilter(QObject* watched, QEvent* event) {
    // Del while the list is dropped down: the key goes to the list, and acts on the
    // highlighted row as the field's own Del would.
    if (watched == view() && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Delete && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            deleteAtCaret();
            return true;
        }
    }
    return QComboBox::eventFilter(watched, event);
}
