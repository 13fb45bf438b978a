#include "window_user_interface.h"

#include <QMessageBox>

WindowUserInterface::WindowUserInterface()
    : m_reminder(
          std::make_unique<QMessageBox>(QMessageBox::Information, QString(), QString(), QMessageBox::Ok)) {
    m_reminder->setWindowModality(Qt::NonModal);
    m_reminder->setWindowFlag(Qt::WindowStaysOnTopHint, true);
    m_reminder->setObjectName(QStringLiteral("FReminder"));
}

WindowUserInterface::~WindowUserInterface() = default;

void WindowUserInterface::showMessage(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Taktplan"), text, QMessageBox::Ok);
    box.exec();
}

void WindowUserInterface::showReminder(const QString& caption, const QString& text) {
    m_reminder->setWindowTitle(caption);
    m_reminder->setText(text);
    m_reminder->show();
    m_reminder->raise();
}

QWidget* WindowUserInterface::reminderWindow() const {
    return m_reminder.get();
}
