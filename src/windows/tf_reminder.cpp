#include "tf_reminder.h"

#include "translate.h"

#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int gap = 5;

} // namespace

TFReminder::TFReminder(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FReminder"));
    setMinimumSize(300, 100);
    mmo1 = new QPlainTextEdit(this);
    mmo1->setObjectName(QStringLiteral("mmo1"));
    mmo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    btnOkay = new QPushButton(tr_("Ok"), this);
    btnOkay->setObjectName(QStringLiteral("btnOkay"));
    btnOkay->resize(81, 27);
    connect(btnOkay, &QPushButton::clicked, this, &QWidget::hide);
    resize(403, 178);
    layOut();
}

void TFReminder::ShowReminder(const QString& caption, const QString& text) {
    setWindowTitle(caption);
    mmo1->setPlainText(text);
    show();
    // Centred after showing: only a shown window knows the size of its frame.
    centre();
    raise();
}

QString TFReminder::text() const {
    return mmo1->toPlainText();
}

void TFReminder::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void TFReminder::layOut() {
    const int w = width();
    const int buttonTop = height() - btnOkay->height() - gap;
    btnOkay->move(w / 2 - btnOkay->width() / 2, buttonTop);
    mmo1->setGeometry(0, 0, w, buttonTop - gap);
}

void TFReminder::centre() {
    const QScreen* s = QGuiApplication::primaryScreen();
    if (!s)
        return;
    const QRect screen = s->geometry();
    const QSize outer = frameGeometry().size();
    move(screen.x() + screen.width() / 2 - outer.width() / 2,
         screen.y() + screen.height() / 2 - outer.height() / 2);
}
