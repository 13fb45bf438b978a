#include "tf_countdown.h"

#include "sound_files.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHideEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>

namespace {

using LabelId = CountdownLogic::LabelId;

const QColor maroon(128, 0, 0);
const QColor cream(255, 251, 240);
// While a unit runs the strip is pale, like an inactive window's title.
const QColor unitBackground(215, 228, 242);

QFont arial(int pixelSize, bool bold = false) {
    QFont font;
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void runTimer(QTimer* timer, bool running) {
    if (running && !timer->isActive())
        timer->start();
    else if (!running && timer->isActive())
        timer->stop();
}

} // namespace

TFCountdown::TFCountdown(const Clock& clock, SoundPlayer& sound, QWidget* parent)
    : TFCountdown(
          clock, sound, &TFCountdown::systemMonitors,
          [](const QString& name) { return soundfiles::path(name); }, parent) {}

TFCountdown::TFCountdown(const Clock& clock, SoundPlayer& sound, std::function<QList<QRect>()> monitors,
                         std::function<QString(const QString&)> soundPath, QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::BypassWindowManagerHint),
      m_textFont(arial(13)), m_titleFont(arial(13, true)), m_zeitFont(arial(43)),
      m_logic(CountdownLogic::Services{
          clock, sound, std::move(monitors),
          [this](LabelId id, const QString& text) { return textWidth(id, text); }, std::move(soundPath)}) {
    setObjectName(QStringLiteral("FCountdown"));
    // Whatever the user is typing into keeps the keyboard.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAutoFillBackground(true);
    resize(countdown::initialWidth, countdown::windowHeight);

    const auto makeLabel = [this](const char* name, const QFont& font) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setFont(font);
        // A click on a label is a click on the overlay.
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        l->setFocusPolicy(Qt::NoFocus);
        l->setAutoFillBackground(false);
        return l;
    };
    lblZeit = makeLabel("lblZeit", m_zeitFont);
    lblZeit->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lbl1 = makeLabel("lbl1", m_textFont);
    lblNaechsteEinheit = makeLabel("lblNaechsteEinheit", m_titleFont);
    lblStartzeit = makeLabel("lblStartzeit", m_textFont);
    lblStartzeit->setAlignment(Qt::AlignRight | Qt::AlignTop);
    lblStartzeit->setLayoutDirection(Qt::RightToLeft);

    const auto makeTimer = [this](int interval, void (CountdownLogic::*step)()) {
        auto* t = new QTimer(this);
        t->setInterval(interval);
        connect(t, &QTimer::timeout, this, [this, step] { run(step); });
        return t;
    };
    tmrEinblenden = makeTimer(countdown::animationMs, &CountdownLogic::slideInTick);
    tmrAusblenden = makeTimer(countdown::animationMs, &CountdownLogic::slideOutTick);
    tmrAnzeigezeit = makeTimer(3000, &CountdownLogic::displayTimeOver);
    tmrFlash = makeTimer(countdown::flashMs, &CountdownLogic::flashTick);
    tmrAnzeigen = makeTimer(countdown::animationMs, &CountdownLogic::refreshTick);
    tmrAnzeigen->setObjectName(QStringLiteral("tmrAnzeigen"));

    // The first look: the announcing colours; the pale label for the time.
    QPalette pal = palette();
    pal.setColor(QPalette::Window, maroon);
    setPalette(pal);
    for (QLabel* l : {lblZeit, lbl1, lblNaechsteEinheit}) {
        QPalette lp = l->palette();
        lp.setColor(QPalette::WindowText, Qt::white);
        l->setPalette(lp);
    }
    QPalette tp = lblStartzeit->palette();
    tp.setColor(QPalette::WindowText, cream);
    lblStartzeit->setPalette(tp);
    sync();
}

TFCountdown::~TFCountdown() = default;

void TFCountdown::setSource(const CountdownSource* source) {
    m_logic.setSource(source);
}

void TFCountdown::showFor(int ms) {
    m_logic.show(ms);
    sync();
}

void TFCountdown::hide() {
    m_logic.dismiss();
    sync();
}

QList<QRect> TFCountdown::systemMonitors() {
    QList<QRect> monitors;
    for (const QScreen* s : QGuiApplication::screens())
        monitors.append(s->geometry());
    return monitors;
}

void TFCountdown::mousePressEvent(QMouseEvent* event) {
    event->accept();
    hide();
}

void TFCountdown::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Hidden by someone else (the end of the program, say): the overlay may come again.
    if (!event->spontaneous() && m_logic.visible()) {
        m_logic.windowHidden();
        sync();
    }
}

int TFCountdown::textWidth(LabelId id, const QString& text) const {
    const QFont& font = id == LabelId::Title ? m_titleFont : (id == LabelId::Zeit ? m_zeitFont : m_textFont);
    return QFontMetrics(font).horizontalAdvance(text);
}

QLabel* TFCountdown::label(LabelId id) const {
    switch (id) {
    case LabelId::Zeit:
        return lblZeit;
    case LabelId::Caption:
        return lbl1;
    case LabelId::Title:
        return lblNaechsteEinheit;
    case LabelId::Time:
        break;
    }
    return lblStartzeit;
}

void TFCountdown::sync() {
    if (!lblStartzeit)
        return;
    static constexpr int tops[] = {1, 6, 26, 6};
    for (const LabelId id : {LabelId::Zeit, LabelId::Caption, LabelId::Title, LabelId::Time}) {
        const CountdownLogic::Label& state = m_logic.label(id);
        QLabel* l = label(id);
        if (l->text() != state.text)
            l->setText(state.text);
        const int height = id == LabelId::Zeit ? countdown::windowHeight : l->fontMetrics().height();
        const QRect g(state.left, tops[int(id)], state.width, height);
        if (l->geometry() != g)
            l->setGeometry(g);
        if (l->isVisibleTo(this) != state.visible)
            l->setVisible(state.visible);
    }

    const bool announce = m_logic.announce();
    if (m_logic.visible() && m_announceColours != announce) {
        m_announceColours = announce;
        QPalette pal = palette();
        pal.setColor(QPalette::Window, announce ? maroon : unitBackground);
        setPalette(pal);
        for (QLabel* l : {lblZeit, lbl1, lblNaechsteEinheit, lblStartzeit}) {
            QPalette lp = l->palette();
            lp.setColor(QPalette::WindowText, announce ? QColor(Qt::white) : QColor(Qt::black));
            l->setPalette(lp);
        }
    }

    if (geometry() != m_logic.geometry())
        setGeometry(m_logic.geometry());
    if (m_logic.visible() && !isVisible()) {
        QWidget::show();
        raise();
    } else if (!m_logic.visible() && isVisible()) {
        setVisible(false);
    }

    runTimer(tmrEinblenden, m_logic.slidingIn());
    runTimer(tmrAusblenden, m_logic.slidingOut());
    runTimer(tmrFlash, m_logic.flashing());
    runTimer(tmrAnzeigen, m_logic.refreshing());
    if (m_displayRestarts != m_logic.displayRestarts()) {
        m_displayRestarts = m_logic.displayRestarts();
        tmrAnzeigezeit->start(m_logic.displayMs());
    } else {
        runTimer(tmrAnzeigezeit, m_logic.displayTimerRunning());
    }
}
