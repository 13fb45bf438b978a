#include "desktop_shell.h"

#include <QDesktopServices>
#include <QStringList>
#include <QUrl>

#include <atomic>

namespace {

// Qt says why an open failed only as a warning ("Unable to detect a launcher for ..."): while
// this thread opens, its warnings are kept as well as passed on.
thread_local QStringList* t_warnings = nullptr;
std::atomic<QtMessageHandler> g_passOn = nullptr;

void keepWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (t_warnings && type != QtDebugMsg && type != QtInfoMsg)
        t_warnings->append(message);
    if (const QtMessageHandler passOn = g_passOn.load())
        passOn(type, context, message);
}

} // namespace

bool DesktopShell::open(const QUrl& url) {
    QStringList warnings;
    t_warnings = &warnings;
    g_passOn = qInstallMessageHandler(keepWarnings);
    const bool opened = QDesktopServices::openUrl(url);
    qInstallMessageHandler(g_passOn.load());
    t_warnings = nullptr;
    m_lastFailure = opened ? QString() : warnings.join(u'\n');
    return opened;
}

bool DesktopShell::openFile(const QString& path) {
    return open(QUrl::fromLocalFile(path));
}

bool DesktopShell::openAddress(const QString& address) {
    const QUrl url = QUrl::fromUserInput(address);
    if (!url.isValid()) {
        m_lastFailure = QStringLiteral("invalid address");
        return false;
    }
    return open(url);
}
