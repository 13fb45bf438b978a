#include "planning_layout.h"

#include "input_strip.h"
#include "plan_list_view.h"
#include "title_combo_box.h"

#include <QEvent>
#include <QFont>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Points: the largest font the plan list is shown with, whatever the settings say.
constexpr int largestFontSize = 28;

} // namespace

PlanningLayout::PlanningLayout(QWidget& client, PlanListView& list, InputStrip& strip)
    : QObject(&client), m_client(client), m_list(list), m_strip(strip) {
    m_client.installEventFilter(this);
}

void PlanningLayout::applyFont(int pointSize) {
    QFont font;
    font.setFamilies({u"Tahoma"_s});
    font.setStyleHint(QFont::SansSerif);
    // A hand-set size past what a window can show would hide the plan (a huge size paints no
    // text at all): it is shown at the largest size that still leaves rows to read.
    font.setPointSize(pointSize > 0 ? std::min(pointSize, largestFontSize) : 10);
    // The list and the input field follow the setting; the menus keep the system's font.
    m_client.setFont(font);
    m_list.fitToFont(font);
    arrange();
}

void PlanningLayout::arrange() {
    const QRect area = m_client.rect();
    if (m_strip.isHidden()) {
        m_list.setGeometry(area);
        return;
    }
    QWidget* field = m_strip.field();
    const int fieldHeight = field->sizeHint().height();
    const int stripHeight = fieldHeight + 2;
    m_strip.setGeometry(0, area.height() - stripHeight, area.width(), stripHeight);
    field->setGeometry(0, (stripHeight - fieldHeight) / 2, area.width(), fieldHeight);
    m_list.setGeometry(0, 0, area.width(), std::max(0, area.height() - stripHeight));
}

bool PlanningLayout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_client && event->type() == QEvent::Resize)
        arrange();
    return false;
}
