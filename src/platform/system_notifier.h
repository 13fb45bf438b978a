#pragma once

#include "desktop_notifier.h"

#include <memory>

// The notifier of this system (linux/ or windows/): on Linux the desktop's notification service
// over D-Bus, else (and on Windows always) the fallback.
std::unique_ptr<DesktopNotifier> systemNotifier(NotificationFallback fallback);
