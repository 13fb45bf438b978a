#include "plan_entry.h"

QString PlanEntry::pauseTitle() const {
    const qsizetype open = displayText.indexOf(QLatin1Char('('));
    if (open < 0)
        return {};
    QString rest = displayText.mid(open + 1);
    rest.chop(1);
    return rest;
}
