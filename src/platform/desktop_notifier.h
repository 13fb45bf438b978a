#pragma once

#include <QString>

#include <functional>
#include <memory>

// A short message in the desktop's notification area that passes by itself and never takes the
// keyboard focus.
class DesktopNotifier {
public:
    virtual ~DesktopNotifier() = default;
    virtual void notify(const QString& summary, const QString& body) = 0;
};

// Shows a message some other way (the tray icon's balloon); the system's notifier hands over to
// it where the desktop offers no notification service.
using NotificationFallback = std::function<void(const QString& summary, const QString& body)>;
