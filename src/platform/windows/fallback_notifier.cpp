#include "../system_notifier.h"

namespace {

// Windows shows the tray icon's message as a toast of its own.
class FallbackNotifier final : public DesktopNotifier {
public:
    explicit FallbackNotifier(NotificationFallback fallback) : m_fallback(std::move(fallback)) {}
    void notify(const QString& summary, const QString& body) override {
        if (m_fallback)
            m_fallback(summary, body);
    }

private:
    NotificationFallback m_fallback;
};

} // namespace

std::unique_ptr<DesktopNotifier> systemNotifier(NotificationFallback fallback) {
    return std::make_unique<FallbackNotifier>(std::move(fallback));
}
