#include "tooltip_delay.h"

#include <QApplication>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

// The application's style with the tooltip times of this program; a hint once shown stays
// until the mouse leaves.
class TooltipStyle final : public QProxyStyle {
public:
    explicit TooltipStyle(QStyle* base) : QProxyStyle(base) {}

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_ToolTip_WakeUpDelay)
            return wakeUpDelay;
        if (hint == SH_ToolTip_FallAsleepDelay)
            return 99999999;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    int wakeUpDelay = 500;
};

TooltipStyle* installedStyle() {
    if (auto* own = dynamic_cast<TooltipStyle*>(QApplication::style()))
        return own;
    auto* style = new TooltipStyle(QStyleFactory::create(QApplication::style()->name()));
    QApplication::setStyle(style);
    return style;
}

} // namespace

void setApplicationTooltipDelay(int ms) {
    installedStyle()->wakeUpDelay = ms;
}

int applicationTooltipDelay() {
    return QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
}
