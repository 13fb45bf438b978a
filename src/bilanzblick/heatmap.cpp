#include "heatmap.h"

#include "log_days.h"
#include "translate.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int leftMargin = 28; // room for the weekday names
constexpr int topMargin = 16;  // room for the month names
constexpr int gap = 2;

} // namespace

YearHeatmap::YearHeatmap(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void YearHeatmap::setYear(const LogDays& log, int year) {
    m_year = year;
    m_minutes.clear();
    m_maxMinutes = 0;
    for (auto it = log.days().lowerBound(QDate(year, 1, 1));
         it != log.days().constEnd() && it.key().year() == year; ++it) {
        const qint64 minutes = it->minutesDone();
        m_minutes.insert(it.key(), minutes);
        m_maxMinutes = std::max(m_maxMinutes, minutes);
    }
    update();
}

int YearHeatmap::cellSize() const {
    return std::clamp((width() - leftMargin) / 54 - gap, 6, 18);
}

void YearHeatmap::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The cells grow with the width; the height follows them.
    setFixedHeight(topMargin + 7 * (cellSize() + gap) + 4);
}

QSize YearHeatmap::sizeHint() const {
    return QSize(leftMargin + 54 * 14, topMargin + 7 * 14 + 4);
}

QSize YearHeatmap::minimumSizeHint() const {
    return QSize(leftMargin + 54 * 8, topMargin + 7 * 8 + 4);
}

QRect YearHeatmap::cellRect(QDate day) const {
    const QDate first(m_year, 1, 1);
    const int column = int((first.dayOfWeek() - 1 + first.daysTo(day)) / 7);
    const int row = day.dayOfWeek() - 1;
    const int size = cellSize();
    return QRect(leftMargin + column * (size + gap), topMargin + row * (size + gap), size, size);
}

QDate YearHeatmap::dayAt(QPoint position) const {
    if (m_year == 0)
        return {};
    const int size = cellSize() + gap;
    const int column = (position.x() - leftMargin) / size;
    const int row = (position.y() - topMargin) / size;
    if (position.x() < leftMargin || position.y() < topMargin || row > 6)
        return {};
    const QDate first(m_year, 1, 1);
    const QDate day = first.addDays(column * 7 + row - (first.dayOfWeek() - 1));
    return day.year() == m_year ? day : QDate();
}

void YearHeatmap::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (m_year == 0)
        return;
    const QColor empty = palette().color(QPalette::AlternateBase).darker(106);
    const QColor full(0x1b, 0x7f, 0x3b);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    p.setFont(small);
    p.setPen(palette().color(QPalette::WindowText));
    const QString weekdays[] = {tr_("Mo"), tr_("Mi"), tr_("Fr")};
    const QString monthNames[] = {tr_("Jan"), tr_("Feb"), tr_("Mär"), tr_("Apr"), tr_("Mai"), tr_("Jun"),
                                  tr_("Jul"), tr_("Aug"), tr_("Sep"), tr_("Okt"), tr_("Nov"), tr_("Dez")};
    for (int i = 0; i < 3; ++i)
        p.drawText(0, topMargin + (i * 2) * (cellSize() + gap) + cellSize(), weekdays[i]);
    for (int month = 1; month <= 12; ++month)
        p.drawText(cellRect(QDate(m_year, month, 1)).left(), topMargin - 4, monthNames[month - 1]);
    for (QDate d(m_year, 1, 1); d.year() == m_year; d = d.addDays(1)) {
        const qint64 minutes = m_minutes.value(d);
        QColor c = empty;
        if (minutes > 0 && m_maxMinutes > 0) {
            const double share = 0.25 + 0.75 * double(minutes) / m_maxMinutes;
            c = QColor::fromRgbF(float(1.0 - share * (1.0 - full.redF())),
                                 float(1.0 - share * (1.0 - full.greenF())),
                                 float(1.0 - share * (1.0 - full.blueF())));
        }
        p.fillRect(cellRect(d), c);
    }
}

void YearHeatmap::mousePressEvent(QMouseEvent* event) {
    const QDate day = dayAt(event->position().toPoint());
    if (day.isValid())
        emit dayClicked(day);
}

bool YearHeatmap::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QDate day = dayAt(help->pos());
        if (day.isValid())
            QToolTip::showText(help->globalPos(),
                               day.toString(QStringLiteral("dd.MM.yyyy")) + QStringLiteral(": ") +
                                   QString::number(m_minutes.value(day)) + QLatin1Char(' ') + tr_("Minuten"),
                               this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
