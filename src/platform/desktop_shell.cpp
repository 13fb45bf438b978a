#include "desktop_shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <QUrl>

#include <atomic>
#include <memory>

namespace {

#ifdef Q_OS_WIN
// ShellExecute knows at once whether a program took the file.
const QString waitedOpener;
#else
// xdg-open only starts: whether a program took the file shows in its exit status (1 to 4 for
// the ways it fails), or in its still running after a while (an editor in the foreground).
const QString waitedOpener = QStringLiteral("xdg-open");
#endif

// The opener runs in a shell that answers with the opener's status, or with success once it has
// waited long enough. The opener then goes on without us: ending this program must not end the
// editor with the user's changes, so nothing of it is tied to this process (no pipes, no child
// that is killed with its QProcess).
const QString waitScript = QStringLiteral("trap 'exit 0' USR1\n"
                                          "\"$0\" \"$1\" </dev/null >/dev/null & opener=$!\n"
                                          "(sleep \"$2\"; kill -USR1 $$) >/dev/null 2>&1 & watch=$!\n"
                                          "wait $opener; status=$?\n"
                                          "kill $watch 2>/dev/null\n"
                                          "exit $status\n");

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

void DesktopShell::openFileThen(const QString& path, std::function<void(bool opened)> done) {
    const QString opener = waitedOpener.isEmpty() ? QString() : QStandardPaths::findExecutable(waitedOpener);
    if (opener.isEmpty())
        return done(openFile(path));
    // What the opener says goes to a file, which outlives this program as a pipe would not.
    auto said = std::make_shared<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/taktplan-open-XXXXXX"));
    if (!said->open())
        return done(openFile(path));
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(said->fileName());
    const auto answer = [this, process, said, opener, done](bool opened, const QString& why) {
        process->deleteLater();
        QString failure;
        if (!opened) {
            QFile text(said->fileName());
            if (text.open(QIODevice::ReadOnly))
                failure = QString::fromLocal8Bit(text.read(4000)).trimmed();
            failure = (failure.isEmpty() ? QString() : failure + u'\n') + opener + QStringLiteral(": ") + why;
        }
        m_lastFailure = failure;
        done(opened);
    };
    QObject::connect(process, &QProcess::finished, process, [answer](int code, QProcess::ExitStatus status) {
        answer(status == QProcess::NormalExit && code == 0, status == QProcess::NormalExit
                                                                ? QStringLiteral("exit status %1").arg(code)
                                                                : QStringLiteral("crashed"));
    });
    QObject::connect(process, &QProcess::errorOccurred, process,
                     [answer, process](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart)
                             answer(false, process->errorString());
                     });
    process->start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), waitScript, opener, path,
                                               QString::number(double(m_patience.count()) / 1000.0, 'f', 3)});
}
