#pragma once

#include "../global_shortcuts.h"

#include <QDBusObjectPath>
#include <QVariantMap>

// The freedesktop GlobalShortcuts portal: a session, the keys bound to it (the desktop may ask
// the user first), and its Activated signal. Every call is asynchronous: a portal that never
// answers holds up nothing.
class PortalGlobalShortcuts final : public GlobalShortcuts {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PortalGlobalShortcuts)

public:
    PortalGlobalShortcuts();
    ~PortalGlobalShortcuts() override;

    void bind(const QList<Binding>& bindings) override;

private slots:
    void onSessionResponse(uint response, const QVariantMap& results);
    void onBindResponse(uint response, const QVariantMap& results);
    // The time stamp and the options say nothing the commands need.
    void onActivated(const QDBusObjectPath& session, const QString& id, qulonglong, const QVariantMap&);

private:
    // Calls a method of the portal; failure ends the attempt with the reason.
    void call(const QString& method, const QVariantList& arguments);
    // The object the portal answers a request on, known before the call so nothing is missed.
    QString requestPath(const QString& token) const;
    void listenForResponse(const QString& token, const char* slot);
    void fail(const QString& reason);

    QList<Binding> m_bindings;
    QString m_session;
    bool m_failed = false;
};
