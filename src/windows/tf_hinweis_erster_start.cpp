#include "tf_hinweis_erster_start.h"

#include "translate.h"

#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

namespace {

constexpr int arrowSize = 144;
constexpr int blinkTicks = 7;
// The arrow only points: clicks and keys go to whatever lies below the see-through window.
constexpr Qt::WindowFlags arrowFlags =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus;
constexpr Qt::WindowFlags instructionFlags = Qt::Tool;

// A solid arrow pointing up and to the left, drawn to fill a square of side size.
QPainterPath arrowPath(qreal size) {
    // Built pointing right along the x axis around the origin, then turned: y grows downwards,
    // so a turn of 225 degrees points it to the upper left.
    const qreal length = size * 1.04;
    const qreal head = size * 0.42;
    const qreal headWidth = size * 0.56;
    const qreal shaft = size * 0.2;
    const qreal tip = length / 2;
    const qreal neck = tip - head;
    QPainterPath path;
    path.moveTo(-length / 2, -shaft / 2);
    path.lineTo(neck, -shaft / 2);
    path.lineTo(neck, -headWidth / 2);
    path.lineTo(tip, 0);
    path.lineTo(neck, headWidth / 2);
    path.lineTo(neck, shaft / 2);
    path.lineTo(-length / 2, shaft / 2);
    path.closeSubpath();
    QTransform turn;
    turn.translate(size / 2, size / 2);
    turn.rotate(225);
    return turn.map(path);
}

class ArrowLabel final : public QWidget {
public:
    explicit ArrowLabel(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("lblPfeil"));
        setFixedSize(arrowSize, arrowSize);
        setAttribute(Qt::WA_TranslucentBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(128, 0, 0), 2));
        p.setBrush(Qt::red);
        p.drawPath(arrowPath(arrowSize));
    }
};

} // namespace

TFHinweisErsterStart::TFHinweisErsterStart(QWidget* timerWindow, QWidget* parent)
    : QWidget(parent, arrowFlags), m_timerWindow(timerWindow) {
    setObjectName(QStringLiteral("FHinweisErsterStart"));
    setWindowTitle(QStringLiteral("Taktplan"));
    // Only the arrow shows; everything around it is see-through.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    lblPfeil = new ArrowLabel(this);

    pnlHinweise = new QWidget(this);
    pnlHinweise->setObjectName(QStringLiteral("pnlHinweise"));
    pnlHinweise->setAutoFillBackground(true);
    mmoAnleitung = new QPlainTextEdit(pnlHinweise);
    mmoAnleitung->setObjectName(QStringLiteral("mmoAnleitung"));
    mmoAnleitung->setReadOnly(true);
    mmoAnleitung->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmoAnleitung->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmoAnleitung->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QStringList lines{
        tr_("Durch einen Doppelklick auf den Timer"), tr_("gelangen Sie zurück zum Planungsmodus."),
        tr_("(Oder Rechtsklick > Planungsmodus)"),    QString(),
        tr_("Um den Timer zu verschieben, einfach"),  tr_("darauf klicken, gedrückt halten und die "),
        tr_("Maus bewegen (Drag-and-Drop).")};
    mmoAnleitung->setPlainText(lines.join(u'\n'));
    btnOk = new QPushButton(tr_("OK"), pnlHinweise);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    connect(btnOk, &QPushButton::clicked, this, &TFHinweisErsterStart::okClicked);
    layOutPanel(lines);
    pnlHinweise->hide();

    tmr1 = new QTimer(this);
    tmr1->setObjectName(QStringLiteral("tmr1"));
    tmr1->setInterval(400);
    connect(tmr1, &QTimer::timeout, this, &TFHinweisErsterStart::tmr1Timer);
}

void TFHinweisErsterStart::layOutPanel(const QStringList& lines) {
    // At least the classic 213 x 129, and large enough that no line is cut or wrapped in the
    // font and language at hand.
    const QFontMetrics fm(mmoAnleitung->font());
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fm.horizontalAdvance(line));
    const int frame = 2 * (mmoAnleitung->frameWidth() + int(mmoAnleitung->document()->documentMargin())) + 4;
    const int memoWidth = std::max(209, widest + frame);
    const int memoHeight = std::max(94, int(lines.size()) * fm.lineSpacing() + frame);
    mmoAnleitung->setGeometry(2, 2, memoWidth, memoHeight);
    const QSize button(75, std::max(26, btnOk->sizeHint().height()));
    btnOk->setGeometry(2 + memoWidth / 2 - button.width() / 2, 2 + memoHeight + 3, button.width(),
                       button.height());
    pnlHinweise->setGeometry(0, 0, memoWidth + 4, btnOk->geometry().bottom() + 4);
}

void TFHinweisErsterStart::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous() || m_switchingBorder)
        return;
    m_countdown = blinkTicks;
    tmr1->start();
    place();
}

void TFHinweisErsterStart::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous() || m_switchingBorder)
        return;
    tmr1->stop();
    // The next showing (a later unit of the same first run) begins with the arrow again.
    resetToArrow();
}

void TFHinweisErsterStart::place() {
    if (!m_timerWindow)
        return;
    const QRect timer = m_timerWindow->frameGeometry();
    move(timer.left(), timer.top() + timer.height() + 10);
    if (!m_instructions) {
        const QPoint arrowAt(timer.width() - 5, 0);
        if (lblPfeil->pos() != arrowAt || mask().isEmpty()) {
            lblPfeil->move(arrowAt);
            resize(arrowAt.x() + arrowSize, arrowSize);
            // Where no compositor blends the see-through background, the window is cut to the
            // arrow's shape instead.
            setMask(QRegion(arrowPath(arrowSize).toFillPolygon().toPolygon()).translated(arrowAt));
        }
    }
}

void TFHinweisErsterStart::tmr1Timer() {
    place();
    if (m_countdown < 0)
        showInstructions();
    else
        lblPfeil->setVisible(!lblPfeil->isVisible());
    --m_countdown;
}

void TFHinweisErsterStart::showInstructions() {
    tmr1->stop();
    m_instructions = true;
    lblPfeil->hide();
    pnlHinweise->show();
    const bool shown = isVisible();
    m_switchingBorder = true;
    setAttribute(Qt::WA_TranslucentBackground, false);
    clearMask();
    setWindowFlags(instructionFlags);
    // The window shrinks to what it shows: the panel with the instructions.
    resize(pnlHinweise->size());
    if (shown)
        show();
    m_switchingBorder = false;
}

void TFHinweisErsterStart::resetToArrow() {
    if (!m_instructions)
        return;
    m_instructions = false;
    pnlHinweise->hide();
    lblPfeil->show();
    m_switchingBorder = true;
    setWindowFlags(arrowFlags);
    setAttribute(Qt::WA_TranslucentBackground);
    m_switchingBorder = false;
}

void TFHinweisErsterStart::okClicked() {
    hide();
}
