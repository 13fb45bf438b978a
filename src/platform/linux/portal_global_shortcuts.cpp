#include "portal_global_shortcuts.h"

#include "../system_global_shortcuts.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString sessionToken = QStringLiteral("taktplan");
const QString createToken = QStringLiteral("taktplan_session");
const QString bindToken = QStringLiteral("taktplan_bind");

// One entry of the a(sa{sv}) the portal takes.
struct PortalShortcut {
    QString id;
    QVariantMap properties;
};

QDBusArgument& operator<<(QDBusArgument& argument, const PortalShortcut& shortcut) {
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, PortalShortcut& shortcut) {
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

QString responseText(uint response) {
    return response == 1 ? QStringLiteral("vom Nutzer abgelehnt")
                         : QStringLiteral("Antwort ") + QString::number(response);
}

} // namespace

Q_DECLARE_METATYPE(PortalShortcut)

PortalGlobalShortcuts::PortalGlobalShortcuts() {
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<QList<PortalShortcut>>();
}

PortalGlobalShortcuts::~PortalGlobalShortcuts() {
    // The keys end with the session, and the session with the program; closing it at once
    // frees them for another copy started right after.
    if (!m_session.isEmpty())
        QDBusConnection::sessionBus().asyncCall(QDBusMessage::createMethodCall(
            portalService, m_session, QStringLiteral("org.freedesktop.portal.Session"),
            QStringLiteral("Close")));
}

void PortalGlobalShortcuts::bind(const QList<Binding>& bindings) {
    m_bindings = bindings;
    if (!QDBusConnection::sessionBus().isConnected())
        return fail(QStringLiteral("kein Session-Bus"));
    listenForResponse(createToken, SLOT(onSessionResponse(uint, QVariantMap)));
    const QVariantMap options{{QStringLiteral("handle_token"), createToken},
                              {QStringLiteral("session_handle_token"), sessionToken}};
    call(QStringLiteral("CreateSession"), {options});
}

void PortalGlobalShortcuts::onSessionResponse(uint response, const QVariantMap& results) {
    if (response != 0)
        return fail(QStringLiteral("keine Sitzung: ") + responseText(response));
    // Older portals hand the session over as a string, newer ones as an object path.
    const QVariant session = results.value(QStringLiteral("session_handle"));
    m_session =
        session.canConvert<QDBusObjectPath>() ? session.value<QDBusObjectPath>().path() : session.toString();
    if (m_session.isEmpty())
        return fail(QStringLiteral("keine Sitzung in der Antwort"));
    QDBusConnection::sessionBus().connect(
        portalService, portalPath, shortcutsInterface, QStringLiteral("Activated"), this,
        SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
    QList<PortalShortcut> shortcuts;
    for (const Binding& b : m_bindings)
        shortcuts.append({b.id,
                          {{QStringLiteral("description"), b.description},
                           {QStringLiteral("preferred_trigger"), b.trigger}}});
    listenForResponse(bindToken, SLOT(onBindResponse(uint, QVariantMap)));
    call(QStringLiteral("BindShortcuts"),
         {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString(),
          QVariantMap{{QStringLiteral("handle_token"), bindToken}}});
}

void PortalGlobalShortcuts::onBindResponse(uint response, const QVariantMap& results) {
    if (response != 0)
        return fail(QStringLiteral("Tasten nicht vergeben: ") + responseText(response));
    QStringList keys;
    QList<PortalShortcut> shortcuts;
    results.value(QStringLiteral("shortcuts")).value<QDBusArgument>() >> shortcuts;
    for (const PortalShortcut& s : shortcuts)
        keys.append(s.id + QLatin1Char('=') +
                    s.properties.value(QStringLiteral("trigger_description")).toString());
    emit bound(keys.join(QStringLiteral(", ")));
}

void PortalGlobalShortcuts::onActivated(const QDBusObjectPath& session, const QString& id, qulonglong,
                                        const QVariantMap&) {
    if (session.path() != m_session)
        return;
    for (const Binding& b : m_bindings) {
        if (b.id == id)
            emit activated(b.key);
    }
}

void PortalGlobalShortcuts::call(const QString& method, const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(portalService, portalPath, shortcutsInterface, method);
    message.setArguments(arguments);
    auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, method](QDBusPendingCallWatcher* w) {
        w->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *w;
        if (reply.isError())
            fail(method + QStringLiteral(": ") + reply.error().name() + QStringLiteral(" ") +
                 reply.error().message());
    });
}

QString PortalGlobalShortcuts::requestPath(const QString& token) const {
    QString sender = QDBusConnection::sessionBus().baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return portalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
}

void PortalGlobalShortcuts::listenForResponse(const QString& token, const char* slot) {
    QDBusConnection::sessionBus().connect(portalService, requestPath(token), requestInterface,
                                          QStringLiteral("Response"), this, slot);
}

void PortalGlobalShortcuts::fail(const QString& reason) {
    // One line for the first failure; what follows from it says nothing new.
    if (m_failed)
        return;
    m_failed = true;
    emit unavailable(reason);
}

std::unique_ptr<GlobalShortcuts> systemGlobalShortcuts() {
    return std::make_unique<PortalGlobalShortcuts>();
}
