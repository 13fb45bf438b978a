#include "ending_dialog_guard.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>

EndingDialogGuard::EndingDialogGuard(std::function<void(const QString&)> report, QObject* parent)
    : QObject(parent), m_report(std::move(report)) {}

EndingDialogGuard::~EndingDialogGuard() {
    if (m_engaged)
        qApp->removeEventFilter(this);
}

void EndingDialogGuard::engage() {
    if (m_engaged)
        return;
    m_engaged = true;
    qApp->installEventFilter(this);
}

bool EndingDialogGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show) {
        auto* dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isModal()) {
            const auto* box = qobject_cast<QMessageBox*>(dialog);
            QString text = box ? box->text() : dialog->windowTitle();
            if (box && !box->informativeText().isEmpty())
                text += u'\n' + box->informativeText();
            m_report(text);
            // Queued: the dialog's own loop has to run before it can be left.
            QMetaObject::invokeMethod(dialog, &QDialog::reject, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}
