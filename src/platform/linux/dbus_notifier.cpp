#include "../system_notifier.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");

// The desktop's notification service. The call never waits for its answer: a service that
// hangs must not hold up the timer. A call that fails goes to the fallback instead.
class DBusNotifier final : public DesktopNotifier {
public:
    explicit DBusNotifier(NotificationFallback fallback) : m_fallback(std::move(fallback)) {}

    void notify(const QString& summary, const QString& body) override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (!bus.isConnected()) {
            fallBack(summary, body);
            return;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(
            service, QStringLiteral("/org/freedesktop/Notifications"), service, QStringLiteral("Notify"));
        // The previous message is replaced rather than piled up.
        call << QStringLiteral("Taktplan") << m_lastId << QStringLiteral("taktplan") << summary << body
             << QStringList() << QVariantMap{{QStringLiteral("desktop-entry"), QStringLiteral("taktplan")}}
             << qint32(-1);
        auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), nullptr);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                         [this, summary, body, alive = m_alive](QDBusPendingCallWatcher* w) {
                             w->deleteLater();
                             if (!*alive)
                                 return;
                             const QDBusPendingReply<quint32> reply = *w;
                             if (reply.isError())
                                 fallBack(summary, body);
                             else
                                 m_lastId = reply.value();
                         });
    }
    ~DBusNotifier() override { *m_alive = false; }
    DBusNotifier(const DBusNotifier&) = delete;
    DBusNotifier& operator=(const DBusNotifier&) = delete;

private:
    void fallBack(const QString& summary, const QString& body) {
        if (m_fallback)
            m_fallback(summary, body);
    }

    NotificationFallback m_fallback;
    quint32 m_lastId = 0;
    // Answers that arrive after the notifier is gone are dropped.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

} // namespace

std::unique_ptr<DesktopNotifier> systemNotifier(NotificationFallback fallback) {
    return std::make_unique<DBusNotifier>(std::move(fallback));
}
