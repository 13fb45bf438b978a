#include "tf_bestaetigung.h"

#include "translate.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>

TFBestaetigung::TFBestaetigung(std::function<void()> onConfirmed, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_onConfirmed(std::move(onConfirmed)) {
    setObjectName(QStringLiteral("FBestaetigung"));
    setFixedSize(182, 32);
    btnBestaetigung = new QPushButton(tr_("Anwesenheit bestätigen"), this);
    btnBestaetigung->setObjectName(QStringLiteral("btnBestaetigung"));
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(12);
    btnBestaetigung->setFont(font);
    btnBestaetigung->setGeometry(1, 2, 179, 27);
    connect(btnBestaetigung, &QPushButton::clicked, this, &TFBestaetigung::confirm);
}

void TFBestaetigung::confirm() {
    if (m_onConfirmed)
        m_onConfirmed();
    hide();
}

void TFBestaetigung::setRemainingSeconds(qint64 seconds) {
    setWindowTitle(QString::number(seconds) + QStringLiteral(" sec"));
}

void TFBestaetigung::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_centreAtNextShow && !event->spontaneous()) {
        m_centreAtNextShow = false;
        centre();
    }
}

void TFBestaetigung::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Wherever the user pushed it, it comes back in the middle, where it is seen.
    if (!event->spontaneous())
        m_centreAtNextShow = true;
}

void TFBestaetigung::centre() {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect area = s->availableGeometry();
    move(area.x() + area.width() / 2 - width() / 2, area.y() + area.height() / 2 - height() / 2);
}
