#include "window_user_interface.h"

#include "tf_reminder.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTimeEdit>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

// Stops the registered timers for as long as a dialog is open; nested dialogs restart them
// only when the outermost one closes.
class WindowUserInterface::DialogGuard {
public:
    explicit DialogGuard(WindowUserInterface& ui) : m_ui(ui) {
        if (m_ui.m_dialogDepth++ > 0)
            return;
        m_ui.m_stopped.clear();
        for (const Suspended& s : std::as_const(m_ui.m_suspended)) {
            if (s.timer && s.timer->isActive()) {
                s.timer->stop();
                m_ui.m_stopped.append(s.timer);
            }
        }
    }
    ~DialogGuard() {
        if (--m_ui.m_dialogDepth > 0)
            return;
        for (const Suspended& s : std::as_const(m_ui.m_suspended)) {
            if (!s.timer)
                continue;
            if (m_ui.m_stopped.contains(s.timer) || (s.startAfterwards && s.startAfterwards()))
                s.timer->start();
        }
        m_ui.m_stopped.clear();
    }
    DialogGuard(const DialogGuard&) = delete;
    DialogGuard& operator=(const DialogGuard&) = delete;

private:
    WindowUserInterface& m_ui;
};

namespace {

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

// A long prompt breaks into lines as a message box's text does, instead of making the dialog as
// wide as the prompt (wider than a small screen, its buttons out of reach).
void wrapPrompt(QDialog& dialog) {
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        label->setWordWrap(true);
        // Lines of a readable length rather than a narrow column.
        const int readable = label->fontMetrics().averageCharWidth() * 50;
        if (label->fontMetrics().horizontalAdvance(label->text()) > readable)
            label->setMinimumWidth(readable);
    }
}

// Wide enough for its caption in the title bar and for the text in its field (a caption cut to
// "Aufga…ändern" over a field narrower than the title it edits), yet never wider than the screen.
void fitWidth(QDialog& dialog, const QString& fieldText) {
    const QFontMetrics fm(dialog.font());
    // The title bar's font is the window manager's, often larger and bold; beside the caption
    // stand the icon and three buttons.
    constexpr int titleBarRoom = 150;
    const int forCaption = fm.horizontalAdvance(dialog.windowTitle()) * 6 / 5 + titleBarRoom;
    // The field's frame and the dialog's margins.
    const int forField = fm.horizontalAdvance(fieldText) + 6 * fm.averageCharWidth() + 40;
    const QScreen* screen = dialog.screen() ? dialog.screen() : QGuiApplication::primaryScreen();
    const int most = screen ? screen->availableGeometry().width() - 40 : forCaption;
    // Through the prompt: an input dialog's layout sets the dialog's own smallest size.
    constexpr int margins = 30;
    const int wanted = std::min(std::max(forCaption, forField), most) - margins;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        label->setMinimumWidth(std::max(label->minimumWidth(), wanted));
}

// A dialog with a prompt, one editor and OK/Cancel; true when accepted.
bool runEditorDialog(const QString& caption, const QString& prompt, QWidget* editor) {
    QDialog dialog(dialogParent());
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(prompt, &dialog));
    wrapPrompt(dialog);
    editor->setParent(&dialog);
    layout->addWidget(editor);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    fitWidth(dialog, QString());
    editor->setFocus();
    const bool accepted = dialog.exec() == QDialog::Accepted;
    editor->setParent(nullptr);
    return accepted;
}

} // namespace

WindowUserInterface::WindowUserInterface() = default;

WindowUserInterface::~WindowUserInterface() = default;

void WindowUserInterface::suspendDuringDialogs(QTimer* timer, std::function<bool()> startAfterwards) {
    m_suspended.append(Suspended{timer, std::move(startAfterwards)});
}

TFReminder& WindowUserInterface::reminder() const {
    if (!m_reminder)
        m_reminder = std::make_unique<TFReminder>();
    return *m_reminder;
}

void WindowUserInterface::showMessage(const QString& text) {
    const DialogGuard guard(*this);
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Taktplan"), text, QMessageBox::Ok);
    box.exec();
}

void WindowUserInterface::showReminder(const QString& caption, const QString& text) {
    reminder().ShowReminder(caption, text);
}

void WindowUserInterface::withdrawReminder(const QString& caption, const QString& text) {
    if (m_reminder)
        m_reminder->withdraw(caption, text);
}

std::optional<QString> WindowUserInterface::askText(const QString& caption, const QString& prompt,
                                                    const QString& defaultText) {
    const DialogGuard guard(*this);
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultText);
    wrapPrompt(dialog);
    fitWidth(dialog, defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QTime> WindowUserInterface::askTime(const QString& caption, const QString& prompt,
                                                  QTime defaultTime) {
    const DialogGuard guard(*this);
    QTimeEdit editor(defaultTime);
    editor.setDisplayFormat(QStringLiteral("HH:mm"));
    return runEditorDialog(caption, prompt, &editor) ? std::optional<QTime>(editor.time()) : std::nullopt;
}

std::optional<QDate> WindowUserInterface::askDate(const QString& caption, const QString& prompt,
                                                  QDate defaultDate) {
    const DialogGuard guard(*this);
    QDateEdit editor(defaultDate);
    editor.setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    editor.setCalendarPopup(true);
    return runEditorDialog(caption, prompt, &editor) ? std::optional<QDate>(editor.date()) : std::nullopt;
}

std::optional<int> WindowUserInterface::askNumber(const QString& caption, const QString& prompt,
                                                  int defaultValue, int minimum, int maximum) {
    const DialogGuard guard(*this);
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(caption);
    dialog.setLabelText(prompt);
    dialog.setIntRange(minimum, maximum);
    dialog.setIntValue(defaultValue);
    wrapPrompt(dialog);
    fitWidth(dialog, QString());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.intValue();
}

std::optional<bool> WindowUserInterface::askYesNo(const QString& caption, const QString& question) {
    const DialogGuard guard(*this);
    QMessageBox box(QMessageBox::Question, caption, question, QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    const int answer = box.exec();
    if (answer == QMessageBox::Yes)
        return true;
    if (answer == QMessageBox::No)
        return false;
    return std::nullopt;
}

std::unique_ptr<QFileDialog> WindowUserInterface::fileDialog(bool save, const QString& caption,
                                                             const QString& filter,
                                                             const QString& suggestedName) {
    auto dialog = std::make_unique<QFileDialog>(dialogParent(), caption);
    dialog->setObjectName(save ? QStringLiteral("saveDialog") : QStringLiteral("openDialog"));
    dialog->setNameFilter(filter);
    if (save) {
        dialog->setAcceptMode(QFileDialog::AcceptSave);
        dialog->setFileMode(QFileDialog::AnyFile);
        // "Textdatei (*.txt)" -> "txt"
        const QRegularExpressionMatch suffix =
            QRegularExpression(QStringLiteral("\\*\\.([^\\s;)]+)")).match(filter);
        if (suffix.hasMatch())
            dialog->setDefaultSuffix(suffix.captured(1));
    } else {
        dialog->setAcceptMode(QFileDialog::AcceptOpen);
        dialog->setFileMode(QFileDialog::ExistingFile);
    }
    if (!suggestedName.isEmpty())
        dialog->selectFile(suggestedName);
    return dialog;
}

std::optional<QString> WindowUserInterface::askFileName(bool save, const QString& caption,
                                                        const QString& filter, const QString& suggestedName) {
    const DialogGuard guard(*this);
    const std::unique_ptr<QFileDialog> dialog = fileDialog(save, caption, filter, suggestedName);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return dialog->selectedFiles().constFirst();
}

std::optional<QString> WindowUserInterface::askOpenFileName(const QString& caption, const QString& filter,
                                                            const QString& suggestedName) {
    return askFileName(false, caption, filter, suggestedName);
}

std::optional<QString> WindowUserInterface::askSaveFileName(const QString& caption, const QString& filter,
                                                            const QString& suggestedName) {
    return askFileName(true, caption, filter, suggestedName);
}

QWidget* WindowUserInterface::reminderWindow() const {
    return &reminder();
}

QWidget* WindowUserInterface::existingReminderWindow() const {
    return m_reminder.get();
}

bool WindowUserInterface::isReminderWindow(const QWidget* w) const {
    return w && m_reminder && w == m_reminder.get();
}
