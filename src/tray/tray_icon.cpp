#include "tray_icon.h"

#include <QAction>
#include <QFont>
#include <QMenu>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

constexpr int iconSize = 32;
constexpr int minDrawIntervalMs = 1000;

} // namespace

TrayIcon::TrayIcon(RunStatePublisher& runState, Commands commands, QObject* parent)
    : QObject(parent), m_runState(runState), m_c(std::move(commands)), m_menu(std::make_unique<QMenu>()) {
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    for (int i = 0; i < traylook::itemCount; ++i) {
        const auto item = static_cast<traylook::Item>(i);
        QAction* a = m_menu->addAction(traylook::caption(item, m_runState.state()));
        a->setCheckable(traylook::checkable(item));
        connect(a, &QAction::triggered, this, [this, item] {
            if (m_c.chosen)
                m_c.chosen(item);
        });
        m_items.append(a);
        // The program's end apart from the rest.
        if (item == traylook::Item::Auswertung)
            m_menu->addSeparator();
    }
    connect(m_menu.get(), &QMenu::aboutToShow, this, &TrayIcon::applyMenu);
    m_drawTimer = new QTimer(this);
    m_drawTimer->setSingleShot(true);
    connect(m_drawTimer, &QTimer::timeout, this, &TrayIcon::draw);
    connect(&m_runState, &RunStatePublisher::changed, this, &TrayIcon::showState);
}

TrayIcon::~TrayIcon() {
    setShown(false);
}

void TrayIcon::setShown(bool shown) {
    if (shown == (m_icon != nullptr))
        return;
    if (!shown) {
        m_drawTimer->stop();
        delete m_icon;
        m_icon = nullptr;
        return;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable() && !m_missingReported && m_c.debugLine) {
        m_missingReported = true;
        m_c.debugLine(
            QStringLiteral("Kein Infobereich auf dem Desktop: Tray-Symbol erscheint, sobald es einen gibt"));
    }
    m_icon = new QSystemTrayIcon(this);
    m_icon->setContextMenu(m_menu.get());
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger || !m_c.clicked)
            return;
        m_c.clicked(traylook::clickAction(m_runState.state(), m_c.planningVisible && m_c.planningVisible()));
    });
    m_toolTip.clear();
    m_drawn = traylook::Icon{QStringLiteral("-"), false};
    draw();
    applyMenu();
    m_icon->show();
}

bool TrayIcon::showMessage(const QString& summary, const QString& body) {
    if (!m_icon || !QSystemTrayIcon::isSystemTrayAvailable() || !QSystemTrayIcon::supportsMessages())
        return false;
    m_icon->showMessage(summary, body, m_icon->icon());
    return true;
}

void TrayIcon::showState(const RunState& state) {
    if (!m_icon)
        return;
    if (traylook::iconOf(state) != m_drawn)
        drawSoon();
    const QString tip = traylook::toolTip(state);
    if (tip != m_toolTip) {
        m_toolTip = tip;
        m_icon->setToolTip(tip);
    }
    // Some notification areas never say when they open the menu: it follows the run at once.
    const RunState& was = m_menuShownFor;
    if (state.runMenuEnabled != was.runMenuEnabled || state.startEnabled != was.startEnabled ||
        state.startCaption != was.startCaption || state.ticking != was.ticking || state.phase != was.phase ||
        state.presenceConfirmationVisible != was.presenceConfirmationVisible)
        applyMenu();
}

void TrayIcon::drawSoon() {
    if (m_drawTimer->isActive())
        return;
    const qint64 since = m_sinceDraw.isValid() ? m_sinceDraw.elapsed() : minDrawIntervalMs;
    if (since >= minDrawIntervalMs)
        draw();
    else
        m_drawTimer->start(int(minDrawIntervalMs - since));
}

void TrayIcon::draw() {
    const traylook::Icon icon = traylook::iconOf(m_runState.state());
    if (!m_icon || icon == m_drawn)
        return;
    m_drawn = icon;
    m_sinceDraw.start();
    ++m_draws;
    m_pixmap = render(icon, iconSize);
    m_icon->setIcon(QIcon(m_pixmap));
}

QPixmap TrayIcon::render(const traylook::Icon& icon, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor background = icon.unitColours ? Qt::black : Qt::white;
    const QColor digits = icon.unitColours ? Qt::white : Qt::black;
    p.setPen(QPen(digits.lighter(icon.unitColours ? 100 : 50), 1));
    p.setBrush(background);
    p.drawRoundedRect(QRectF(0.5, 0.5, size - 1, size - 1), size / 6.0, size / 6.0);
    // No phase counts down: the program's letter.
    const QString text = icon.text.isEmpty() ? QStringLiteral("T") : icon.text;
    QFont font;
    font.setBold(true);
    font.setPixelSize(text.size() <= 2 ? size * 5 / 8 : size * 3 / 8);
    p.setFont(font);
    p.setPen(digits);
    p.drawText(QRect(0, 0, size, size), Qt::AlignCenter, text);
    return pixmap;
}

void TrayIcon::applyMenu() {
    const RunState& state = m_runState.state();
    m_menuShownFor = state;
    const timermenu::Situation situation = m_c.situation ? m_c.situation() : timermenu::Situation{};
    for (int i = 0; i < traylook::itemCount; ++i) {
        const auto item = static_cast<traylook::Item>(i);
        const traylook::ItemState s = traylook::stateOf(item, state, situation);
        QAction* a = m_items.at(i);
        a->setText(traylook::caption(item, state));
        a->setEnabled(s.enabled);
        if (a->isCheckable())
            a->setChecked(s.checked);
    }
}
