#include "timer_popup.h"

#include "translate.h"

#include <QAction>
#include <QMenu>
#include <QMessageBox>

namespace timerpopup {

using timermenu::Item;

QMenu* build(QWidget* parent, const std::function<void(Item item, bool checked)>& chosen) {
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("pm1"));
    for (int i = 0; i < timermenu::itemCount; ++i) {
        const auto item = static_cast<Item>(i);
        QAction* a = menu->addAction(timermenu::caption(item));
        a->setObjectName(timermenu::objectName(item));
        a->setCheckable(item == Item::NutzerAnwesend || item == Item::EinheitGescheitert);
        // "Beenden" only opens its submenu.
        if (item != Item::Beenden)
            QObject::connect(a, &QAction::triggered, menu,
                             [chosen, item](bool checked) { chosen(item, checked); });
    }
    const QList<QAction*> items = menu->actions();
    menu->setDefaultAction(items.at(int(Item::Planungsmodus)));

    auto* exitMenu = new QMenu(parent);
    exitMenu->setObjectName(QStringLiteral("Exit1Menu"));
    QAction* confirm = exitMenu->addAction(tr_("Bestätigen"));
    confirm->setObjectName(QStringLiteral("mniBeenden2"));
    QObject::connect(confirm, &QAction::triggered, menu, [chosen] { chosen(Item::Beenden, false); });
    items.at(int(Item::Beenden))->setMenu(exitMenu);
    return menu;
}

void apply(QMenu* menu, const timermenu::Situation& situation) {
    const QList<QAction*> items = menu->actions();
    for (int i = 0; i < timermenu::itemCount; ++i) {
        const timermenu::ItemState state = timermenu::stateOf(static_cast<Item>(i), situation);
        QAction* a = items.at(i);
        a->setVisible(state.visible);
        a->setEnabled(state.enabled);
        if (a->isCheckable())
            a->setChecked(state.checked);
    }
}

void showFailedWarning(QWidget* parent) {
    // Not modal: the countdown goes on while the box is open.
    auto* box = new QMessageBox(QMessageBox::Warning, tr_("Einheit ungültig"),
                                tr_("Die aktuelle Einheit wurde als ungültig markiert. Die nächste wird "
                                    "besser. Nicht nachlassen!"),
                                QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("EinheitUngueltig"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

} // namespace timerpopup
