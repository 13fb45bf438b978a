#include "conversion_guard.h"

#include "debug_log.h"
#include "plan_time.h"

using namespace Qt::StringLiterals;

bool ConversionGuard::run(const std::function<void()>& operation, const char* where) {
    try {
        operation();
        return true;
    } catch (const plantime::ConversionError& e) {
        const QString failure = QString::fromLatin1(where) + u": "_s + e.text();
        if (failure != m_lastFailure) {
            m_lastFailure = failure;
            m_log.AddDebugLine(u"FWorklist > "_s + QString::fromLatin1(where) +
                               u": Wert im Plan nicht lesbar: '"_s + e.text() + u"'"_s);
        }
        return false;
    }
}
