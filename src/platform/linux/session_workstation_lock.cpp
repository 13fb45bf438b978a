#include "session_workstation_lock.h"

#include "../system_workstation_lock.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QStringList>

namespace {

// Each way gets this long: the lock is asked for from the event loop, so an answer that does
// not come must not hold up the windows for long.
constexpr int answerMs = 2000;

struct ScreenSaver {
    const char* service;
    const char* path;
    const char* interface;
};

constexpr ScreenSaver screenSavers[] = {
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver"},
    {"org.freedesktop.ScreenSaver", "/ScreenSaver", "org.freedesktop.ScreenSaver"},
    {"org.gnome.ScreenSaver", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver"},
};

// "" when the login manager took the request, else why not.
QString lockThroughLoginManager(const QString& loginctl) {
    QProcess process;
    process.start(loginctl, {QStringLiteral("lock-session")});
    if (!process.waitForStarted(answerMs))
        return QStringLiteral("nicht startbar");
    if (!process.waitForFinished(answerMs)) {
        process.kill();
        process.waitForFinished(answerMs);
        return QStringLiteral("keine Antwort");
    }
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return {};
    const QString error = QString::fromLocal8Bit(process.readAllStandardError()).simplified();
    return QStringLiteral("Status %1").arg(process.exitCode()) + (error.isEmpty() ? QString() : u' ' + error);
}

QString lockThroughScreenSaver(const QDBusConnection& bus, const ScreenSaver& saver) {
    const QString service = QLatin1String(saver.service);
    if (!bus.interface() || !bus.interface()->isServiceRegistered(service))
        return QStringLiteral("nicht vorhanden");
    const QDBusMessage call = QDBusMessage::createMethodCall(
        service, QLatin1String(saver.path), QLatin1String(saver.interface), QStringLiteral("Lock"));
    const QDBusMessage reply = bus.call(call, QDBus::Block, answerMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        return {};
    return reply.errorMessage().isEmpty() ? reply.errorName() : reply.errorMessage();
}

} // namespace

std::unique_ptr<WorkstationLock> systemWorkstationLock() {
    return std::make_unique<SessionWorkstationLock>();
}

SessionWorkstationLock::SessionWorkstationLock(QString loginctl) : m_loginctl(std::move(loginctl)) {}

WorkstationLock::Result SessionWorkstationLock::lock() {
    QStringList tried;
    const QString byLogin = lockThroughLoginManager(m_loginctl);
    if (byLogin.isEmpty())
        return {true, QStringLiteral("Arbeitsplatz gesperrt: loginctl lock-session")};
    tried.append(QStringLiteral("loginctl lock-session: ") + byLogin);

    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        tried.append(QStringLiteral("D-Bus: keine Sitzung"));
    } else {
        for (const ScreenSaver& saver : screenSavers) {
            const QString name = QLatin1String(saver.service) + QLatin1String(saver.path);
            const QString problem = lockThroughScreenSaver(bus, saver);
            if (problem.isEmpty())
                return {true, QStringLiteral("Arbeitsplatz gesperrt: ") + name};
            tried.append(name + QStringLiteral(": ") + problem);
        }
    }
    return {false, QStringLiteral("Arbeitsplatz nicht gesperrt (") + tried.join(QStringLiteral("; ")) + u')'};
}
