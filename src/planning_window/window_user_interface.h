#pragma once

#include "user_interface.h"

#include <memory>

class QMessageBox;
class QWidget;

// The program's user interface for the core: plain message boxes and the reminder window.
// Create it after the QApplication and before the records.
class WindowUserInterface final : public UserInterface {
public:
    WindowUserInterface();
    ~WindowUserInterface() override;
    WindowUserInterface(const WindowUserInterface&) = delete;
    WindowUserInterface& operator=(const WindowUserInterface&) = delete;

    // A modal message box titled "Taktplan" with an OK button; returns when it is closed.
    void showMessage(const QString& text) override;
    // The reminder window: not modal, always on top, one window that shows the latest text.
    void showReminder(const QString& caption, const QString& text) override;

    // The reminder window, created on first use (a message box costs start-up time that most
    // runs never need).
    QWidget* reminderWindow() const;
    // True when w is the reminder window (without creating it).
    bool isReminderWindow(const QWidget* w) const;

private:
    QMessageBox& reminder() const;

    mutable std::unique_ptr<QMessageBox> m_reminder;
};
