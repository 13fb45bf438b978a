#include "../system_global_shortcuts.h"

#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QStringList>

#include <windows.h>

namespace {

// "CTRL+ALT+F9" as RegisterHotKey takes it; false for a key it cannot name.
bool hotKey(const QString& trigger, UINT* modifiers, UINT* key) {
    *modifiers = MOD_NOREPEAT;
    *key = 0;
    for (const QString& part : trigger.toUpper().split(QLatin1Char('+'))) {
        if (part == QLatin1String("CTRL"))
            *modifiers |= MOD_CONTROL;
        else if (part == QLatin1String("ALT"))
            *modifiers |= MOD_ALT;
        else if (part == QLatin1String("SHIFT"))
            *modifiers |= MOD_SHIFT;
        else if (part == QLatin1String("LOGO"))
            *modifiers |= MOD_WIN;
        else if (part.size() == 1 && part.at(0).isLetterOrNumber())
            *key = part.at(0).unicode();
        else if (part.startsWith(QLatin1Char('F')) && part.mid(1).toUInt() >= 1 && part.mid(1).toUInt() <= 24)
            *key = VK_F1 + part.mid(1).toUInt() - 1;
        else
            return false;
    }
    return *key != 0;
}

// Hot keys registered for the thread: WM_HOTKEY comes as a thread message, which Qt's event
// dispatcher shows its filters before anything else.
class HotKeyShortcuts final : public GlobalShortcuts, public QAbstractNativeEventFilter {
public:
    ~HotKeyShortcuts() override {
        for (int id = 1; id <= m_bindings.size(); ++id)
            UnregisterHotKey(nullptr, id);
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    void bind(const QList<Binding>& bindings) override {
        m_bindings = bindings;
        QStringList taken, refused;
        for (int id = 1; id <= m_bindings.size(); ++id) {
            const Binding& b = m_bindings.at(id - 1);
            UINT modifiers = 0, key = 0;
            if (hotKey(b.trigger, &modifiers, &key) && RegisterHotKey(nullptr, id, modifiers, key))
                taken.append(b.id + QLatin1Char('=') + b.trigger);
            else
                refused.append(b.id + QLatin1Char('=') + b.trigger + QStringLiteral(" (Fehler ") +
                               QString::number(GetLastError()) + QLatin1Char(')'));
        }
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installNativeEventFilter(this);
        // Another program may hold a key already: the other one still works.
        if (!taken.isEmpty())
            emit bound(taken.join(QStringLiteral(", ")));
        if (!refused.isEmpty())
            emit unavailable(QStringLiteral("vergeben: ") + refused.join(QStringLiteral(", ")));
    }

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
        if (eventType != "windows_dispatcher_MSG")
            return false;
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->message != WM_HOTKEY || msg->hwnd != nullptr)
            return false;
        const auto id = static_cast<qsizetype>(msg->wParam);
        if (id < 1 || id > m_bindings.size())
            return false;
        emit activated(m_bindings.at(id - 1).key);
        return true;
    }

private:
    QList<Binding> m_bindings;
};

} // namespace

std::unique_ptr<GlobalShortcuts> systemGlobalShortcuts() {
    return std::make_unique<HotKeyShortcuts>();
}
