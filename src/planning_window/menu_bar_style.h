#pragma once

#include <QPointer>
#include <QProxyStyle>

class QAction;

// A menu bar ignores its actions' fonts; this style draws one top-level item (the command
// "Start") in bold and makes room for the wider text.
class MenuBarStyle final : public QProxyStyle {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MenuBarStyle)

public:
    explicit MenuBarStyle(QAction* boldItem);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget = nullptr) const override;

private:
    bool isBoldItem(const QStyleOption* option) const;

    QPointer<QAction> m_boldItem;
};
