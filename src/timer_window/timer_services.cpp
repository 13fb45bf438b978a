#include "timer_services.h"

#include <QCoreApplication>
#include <QProcess>
#include <QWidget>

TimerServices withDefaults(TimerServices services) {
    if (!services.bringToFront)
        services.bringToFront = [](QWidget& w) {
            if (w.isMinimized())
                w.showNormal();
            w.raise();
            if (!w.windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus))
                w.activateWindow();
        };
    if (!services.startFile)
        services.startFile = [](const QString& path) { return QProcess::startDetached(path, {}); };
    if (services.programFolder.isEmpty())
        services.programFolder = QCoreApplication::applicationDirPath();
    return services;
}
