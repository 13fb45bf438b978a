#include "tf_reminder.h"

#include "translate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int gap = 5;
// Activation this soon after showing comes from the showing, not from the user's click.
constexpr qint64 showingActivationMs = 1000;

// Enter (either key) or Esc without a modifier; Shift+Enter still breaks a line in the memo.
bool closesWindow(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::NoModifier &&
           (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter || key.key() == Qt::Key_Escape);
}

} // namespace

TFReminder::TFReminder(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FReminder"));
    setMinimumSize(300, 100);
    // It comes up while the user types elsewhere (a pause's note, a log error): keys such as
    // Ctrl+Q must still reach the window they were meant for.
    setAttribute(Qt::WA_ShowWithoutActivating);
    mmo1 = new QPlainTextEdit(this);
    mmo1->setObjectName(QStringLiteral("mmo1"));
    mmo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmo1->installEventFilter(this);
    btnOkay = new QPushButton(tr_("Ok"), this);
    btnOkay->setObjectName(QStringLiteral("btnOkay"));
    btnOkay->resize(81, 27);
    connect(btnOkay, &QPushButton::clicked, this, &QWidget::hide);
    resize(403, 178);
    layOut();
}

void TFReminder::ShowReminder(const QString& caption, const QString& text) {
    m_caption = caption;
    m_text = text;
    if (QWidget* active = QApplication::activeWindow(); active != this)
        m_typingIn = active;
    m_shownFor.start();
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

void TFReminder::withdraw(const QString& caption, const QString& text) {
    if (caption == m_caption && text == m_text)
        hide();
}

void TFReminder::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_typingIn &&
        m_typingIn->isVisible() && m_shownFor.isValid() && m_shownFor.elapsed() < showingActivationMs)
        m_typingIn->activateWindow();
}

void TFReminder::keyPressEvent(QKeyEvent* event) {
    if (closesWindow(*event))
        hide();
    else
        QWidget::keyPressEvent(event);
}

bool TFReminder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mmo1 && event->type() == QEvent::KeyPress &&
        closesWindow(*static_cast<QKeyEvent*>(event))) {
        hide();
        return true;
    }
    return QWidget::eventFilter(watched, event);
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
