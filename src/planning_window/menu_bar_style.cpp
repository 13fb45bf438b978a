#include "menu_bar_style.h"

#include <QAction>
#include <QPainter>
#include <QStyleOptionMenuItem>

MenuBarStyle::MenuBarStyle(QAction* boldItem) : m_boldItem(boldItem) {}

bool MenuBarStyle::isBoldItem(const QStyleOption* option) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    return item && m_boldItem && item->text == m_boldItem->text();
}

void MenuBarStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
    if (element != CE_MenuBarItem || !isBoldItem(option)) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    painter->save();
    QFont bold = painter->font();
    bold.setBold(true);
    painter->setFont(bold);
    QProxyStyle::drawControl(element, option, painter, widget);
    painter->restore();
}

QSize MenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                     const QWidget* widget) const {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_MenuBarItem && isBoldItem(option)) {
        QFont bold = widget ? widget->font() : QFont();
        bold.setBold(true);
        const QString text = static_cast<const QStyleOptionMenuItem*>(option)->text;
        result.rwidth() +=
            QFontMetrics(bold).horizontalAdvance(text) - option->fontMetrics.horizontalAdvance(text);
    }
    return result;
}
