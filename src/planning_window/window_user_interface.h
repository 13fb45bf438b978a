#pragma once

#include "user_interface.h"

#include <QList>
#include <QPointer>

#include <functional>
#include <memory>

class QFileDialog;
class QTimer;
class QWidget;
class TFReminder;

// The program's user interface for the core: modal message boxes and questions, and the
// reminder window. Create it after the QApplication and before the records.
//
// Around every modal dialog it suspends the timers registered with suspendDuringDialogs (the
// focus locks that pull a window to the front would otherwise hide the dialog behind it) and
// restarts those that ran once the dialog is gone.
class WindowUserInterface final : public UserInterface {
public:
    WindowUserInterface();
    ~WindowUserInterface() override;
    WindowUserInterface(const WindowUserInterface&) = delete;
    WindowUserInterface& operator=(const WindowUserInterface&) = delete;

    // startAfterwards (if given) says whether the timer is to run after a dialog even when it
    // did not run before it.
    void suspendDuringDialogs(QTimer* timer, std::function<bool()> startAfterwards = {});

    // A modal message box titled "Taktplan" with an OK button; returns when it is closed.
    void showMessage(const QString& text) override;
    // The reminder window: not modal, always on top, one window that shows the latest text.
    void showReminder(const QString& caption, const QString& text) override;
    void withdrawReminder(const QString& caption, const QString& text) override;

    std::optional<QString> askText(const QString& caption, const QString& prompt,
                                   const QString& defaultText) override;
    std::optional<QTime> askTime(const QString& caption, const QString& prompt, QTime defaultTime) override;
    std::optional<QDate> askDate(const QString& caption, const QString& prompt, QDate defaultDate) override;
    std::optional<int> askNumber(const QString& caption, const QString& prompt, int defaultValue, int minimum,
                                 int maximum) override;
    std::optional<bool> askYesNo(const QString& caption, const QString& question) override;
    std::optional<QString> askOpenFileName(const QString& caption, const QString& filter,
                                           const QString& suggestedName) override;
    std::optional<QString> askSaveFileName(const QString& caption, const QString& filter,
                                           const QString& suggestedName) override;

    // The file dialog as the two questions show it, not yet shown.
    static std::unique_ptr<QFileDialog> fileDialog(bool save, const QString& caption, const QString& filter,
                                                   const QString& suggestedName);

    // The reminder window, created on first use: most runs never need it. It lives here rather
    // than with the other small windows because the records may report a broken activity log
    // before any window exists.
    QWidget* reminderWindow() const;
    // The reminder window if it has been created, else nullptr.
    QWidget* existingReminderWindow() const;
    // True when w is the reminder window (without creating it).
    bool isReminderWindow(const QWidget* w) const;

private:
    class DialogGuard;

    TFReminder& reminder() const;
    std::optional<QString> askFileName(bool save, const QString& caption, const QString& filter,
                                       const QString& suggestedName);

    mutable std::unique_ptr<TFReminder> m_reminder;
    struct Suspended {
        QPointer<QTimer> timer;
        std::function<bool()> startAfterwards;
    };
    QList<Suspended> m_suspended;
    // Timers stopped by the outermost dialog that is still open, to be started again.
    QList<QPointer<QTimer>> m_stopped;
    int m_dialogDepth = 0;
};
