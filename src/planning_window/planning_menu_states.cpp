#include "planning_menu_states.h"

#include "planning_look.h"
#include "planning_menus.h"

#include <QAction>
#include <QMenu>

void PlanningMenuStates::showPhase(RunState::Phase phase, int replansLeft) {
    if (m_shownFor == phase)
        return;
    m_shownFor = phase;
    const PlanningLook look = planningLook(phase, replansLeft);
    m_menus.file->menuAction()->setEnabled(look.fileMenu);
    for (QAction* a : {m_menus.list->menuAction(), m_menus.settings->menuAction(), m_menus.help->menuAction(),
                       m_menus.newPlan, m_menus.open, m_menus.quit, m_menus.evaluation})
        a->setEnabled(look.planningMenus);
    m_menus.save->setEnabled(true);
    m_menus.saveAs->setEnabled(true);
    m_menus.logs->setEnabled(true);
}

void PlanningMenuStates::showRunState(const RunState& now, const RunState& was) {
    if (now.startCaption != was.startCaption)
        m_menus.start->setText(now.startCaption);
    if (now.startEnabled != was.startEnabled)
        m_menus.start->setEnabled(now.startEnabled);
    if (now.listMenuAllItems != was.listMenuAllItems) {
        for (QAction* a : m_menus.popupItems) {
            // The hidden "Start" stays reachable: F9 in the list must re-plan a running plan.
            if (a && a != m_menus.popupStart)
                a->setEnabled(now.listMenuAllItems);
        }
    }
    if (now.maxReplanEnabled != was.maxReplanEnabled)
        m_menus.settingsItems.maxReplan->setEnabled(now.maxReplanEnabled);
}

void PlanningMenuStates::enableDelete(bool enabled) {
    m_menus.deleteEntry->setEnabled(enabled);
    m_menus.popupDelete->setEnabled(enabled);
}
