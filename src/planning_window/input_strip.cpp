#include "input_strip.h"

#include "clock.h"
#include "plan_time.h"
#include "records.h"
#include "title_combo_box.h"
#include "translate.h"
#include "typed_entry.h"
#include "user_interface.h"
#include "worklist.h"

#include <QKeyEvent>

#include <utility>

using namespace Qt::StringLiterals;

InputStrip::InputStrip(Services services, QWidget* parent)
    : QWidget(parent), m_services(std::move(services)), m_field(new TitleComboBox(this)) {
    setObjectName(u"pnlHinzu"_s);
    m_field->setObjectName(u"cbbAufgabe"_s);
    m_field->installEventFilter(this);
}

bool InputStrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            onEnter();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void InputStrip::refill() {
    m_field->setTitles(m_services.records.activityLog.RecentTitles(10));
    m_field->setText(m_services.records.activityLog.LastTitle());
    if (m_firstStartHintPending) {
        m_firstStartHintPending = false;
        showFirstStartHint();
    }
    m_field->setFocus(Qt::OtherFocusReason);
    m_field->selectAllText();
}

void InputStrip::showFirstStartHint() {
    // Shown before the window: the refill when it shows would wipe the hint out again.
    if (!window()->isVisible())
        m_firstStartHintPending = true;
    m_field->selectRow(m_field->addTitle(tr_("Hier Aufgabe eingeben und ENTER drücken")));
    m_field->selectAllText();
}

void InputStrip::onEnter() {
    const QString typed = m_field->text();
    const Settings& s = m_services.records.settings;
    const TypedEntry entry = TypedEntry::parse(typed, s.StandardDauerEinheit, s.GrossePause);
    // A placeholder start: the schedule gives the relative entry its real one.
    const QDateTime start = plantime::wall(m_services.clock.today(), QTime(0, 0));
    m_services.guarded(
        [&] {
            m_services.worklist.AddEntry(entry.title, entry.isPause, start, entry.duration, false, u" "_s);
        },
        "AddEntry");
    // The plan file could not give such a title back as typed: it was changed now, in view.
    if (entry.adjustment != TypedEntry::Adjustment::None) {
        m_services.ui.showReminder(
            tr_("Titel angepasst"),
            tr_("Der Titel wurde angepasst, damit er nach einem Neustart gleich bleibt:") + u"\n"_s +
                entry.title);
    }
    if (entry.isPause) {
        m_field->setText(m_rememberedUnitTitle.isEmpty() ? m_services.records.activityLog.LastTitle()
                                                         : m_rememberedUnitTitle);
    } else {
        m_field->addTitle(typed);
        if (!typed.isEmpty())
            m_rememberedUnitTitle = typed;
    }
    m_field->selectAllText();
    m_field->setFocus(Qt::OtherFocusReason);
    m_services.savePlan();
}

void InputStrip::onAddUnit() {
    if (m_field->text().left(2).toUpper() == u"P "_s)
        m_field->setText(m_rememberedUnitTitle);
    m_field->setFocus(Qt::OtherFocusReason);
    m_field->selectAllText();
}

void InputStrip::onAddPause() {
    const QString text = m_field->text();
    if (!text.isEmpty() && text.left(2).toUpper() != u"P "_s)
        m_rememberedUnitTitle = text;
    m_field->setText(u"p "_s + QString::number(m_services.records.settings.GrossePause));
    m_field->setFocus(Qt::OtherFocusReason);
    m_field->selectFrom(2);
}
