#include "window_user_interface.h"

#include <QMessageBox>

WindowUserInterface::WindowUserInterface() = default;

QMessageBox& WindowUserInterface::reminder() const {
    if (!m_reminder) {
        m_reminder =
            std::make_unique<QMessageBox>(QMessageBox::Information, QString(), QString(), QMessageBox::Ok);
        m_reminder->setWindowModality(Qt::NonModal);
        m_reminder->setWindowFlag(Qt::WindowStaysOnTopHint, true);
        m_reminder->setObjectName(QStringLiteral("FReminder"));
    }
    return *m_reminder;
}

WindowUserInterface::~WindowUserInterface() = default;

void WindowUserInterface::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Taktplan"), text, QMessageBox::Ok);
    box.exec();
}

void WindowUserInterface::showReminder(const QString& caption, const QString& text) {
    QMessageBox& box = reminder();
    box.setWindowTitle(caption);
    box.setText(text);
    box.show();
    box.raise();
}

QWidget* WindowUserInterface::reminderWindow() const {
    return &reminder();
}

bool WindowUserInterface::isReminderWindow(const QWidget* w) const {
    return w && m_reminder && w == m_reminder.get();
}
