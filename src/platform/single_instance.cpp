#include "single_instance.h"

#include "leftover_files.h"
#include "single_instance_os.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

namespace {

constexpr char frontRequest[] = "front";
// "status <format>": answered with one line, then the copy hangs up.
constexpr char statusRequest[] = "status ";
// A client that connects and never sends its line is dropped after this long.
constexpr int idleClientMs = 5000;
// The longest request we read; anything longer is not one of ours.
constexpr qint64 maxRequestBytes = 64;
// Qt writes the holder into a new lock file right after creating it; an empty file older than
// this was left by a start that was killed in between.
constexpr int lockInfoWriteMs = 100;

// The folder as the disk sees it, so that every spelling of one folder (a link to it, "..")
// is one scope: links and ".." are resolved as far as the path exists. The part that does not
// exist yet (a first start) is taken as written, under its resolved parent.
QString resolvedFolder(const QString& dataFolderPath) {
    // Not QFileInfo::absoluteFilePath(): it would drop "link/.." by the text, where the system
    // goes to the link's target first.
    QString existing = QDir::fromNativeSeparators(dataFolderPath);
    if (QDir::isRelativePath(existing))
        existing = QDir::currentPath() + QLatin1Char('/') + existing;
    QString missing;
    // As many links in a row as the system follows before it gives up.
    int linksLeft = 40;
    for (;;) {
        const QFileInfo info(existing);
        const QString canonical = info.canonicalFilePath();
        if (!canonical.isEmpty())
            return QDir::cleanPath(missing.isEmpty() ? canonical : canonical + QLatin1Char('/') + missing);
        // A link to a folder not made yet: the folder will be where it leads.
        if (info.isSymLink() && linksLeft-- > 0) {
            existing = info.symLinkTarget();
            continue;
        }
        const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
        const bool atRoot =
            slash < 0 || (slash == existing.size() - 1 && slash == existing.indexOf(QLatin1Char('/')));
        if (atRoot)
            return QDir::cleanPath(existing + QLatin1Char('/') + missing);
        missing = existing.mid(slash + 1) + QLatin1Char('/') + missing;
        existing.truncate(slash);
        // The root itself ("/", "C:/") keeps its slash.
        if (existing.isEmpty() || existing.endsWith(QLatin1Char(':')))
            existing += QLatin1Char('/');
    }
}

QString scopeHash(const QString& dataFolderPath) {
    const QString folder = singleinstance_os::comparableFolder(resolvedFolder(dataFolderPath));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(singleinstance_os::userKey().toUtf8());
    hash.addData(QByteArrayView("\n"));
    hash.addData(folder.toUtf8());
    return QString::fromLatin1(hash.result().toHex().left(16));
}

} // namespace

SingleInstance::SingleInstance(const QString& dataFolderPath, const QString& runtimeFolder, QObject* parent)
    : QObject(parent) {
    const QString hash = scopeHash(dataFolderPath);
    if (!runtimeFolder.isEmpty())
        m_lockPath = QDir(runtimeFolder).filePath(QStringLiteral("taktplan-%1.lock").arg(hash));
    m_socketFolder = singleinstance_os::socketFolder(runtimeFolder, hash);
    m_serverName = singleinstance_os::serverName(m_socketFolder, hash);
}

SingleInstance::~SingleInstance() {
    if (m_server)
        m_server->close();
}

QString SingleInstance::defaultRuntimeFolder() {
    return singleinstance_os::defaultRuntimeFolder();
}

SingleInstance::Claim SingleInstance::claim() {
    if (m_lockPath.isEmpty())
        return Claim::Unchecked;
    m_lock = std::make_unique<QLockFile>(m_lockPath);
    // A lock is stale only when its process is gone, never because it is old: the program
    // runs for days.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return Claim::First;
    if (m_lock->error() == QLockFile::LockFailedError && holderUnknown()) {
        // Removed only when nobody holds the file (Qt checks that with the file lock), so a
        // copy that is just writing its details keeps its lock.
        if (m_lock->removeStaleLockFile() && m_lock->tryLock(0))
            return Claim::First;
    }
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    return error == QLockFile::LockFailedError ? Claim::Running : Claim::Unchecked;
}

bool SingleInstance::holderUnknown() const {
    qint64 pid = 0;
    QString host, application;
    if (m_lock->getLockInfo(&pid, &host, &application))
        return false;
    QThread::msleep(lockInfoWriteMs);
    return !m_lock->getLockInfo(&pid, &host, &application);
}

QStringList SingleInstance::removeLeftovers() const {
    if (!m_lock || !m_lock->isLocked() || m_socketFolder.isEmpty())
        return {};
    return leftovers::removeSocketFolders(m_socketFolder);
}

bool SingleInstance::requestFront(int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    const QByteArray line = QByteArray(frontRequest) + '\n';
    while (true) {
        const int left = static_cast<int>(qMax<qint64>(1, timeoutMs - elapsed.elapsed()));
        QLocalSocket socket;
        socket.connectToServer(m_serverName);
        if (socket.waitForConnected(left)) {
            socket.write(line);
            const bool written = socket.waitForBytesWritten(left) || socket.bytesToWrite() == 0;
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(qMax(1, static_cast<int>(timeoutMs - elapsed.elapsed())));
            if (written)
                return true;
        }
        // The first copy may hold the lock but not yet listen: it is still starting.
        if (elapsed.elapsed() + 50 >= timeoutMs)
            return false;
        QThread::msleep(50);
    }
}

SingleInstance::StatusAnswer SingleInstance::requestStatus(const QByteArray& format, int timeoutMs) {
    QElapsedTimer elapsed;
    elapsed.start();
    const auto left = [&] { return static_cast<int>(qMax<qint64>(1, timeoutMs - elapsed.elapsed())); };
    QLocalSocket socket;
    // No socket, or one a crashed copy left behind, fails at once: nobody to ask.
    socket.connectToServer(m_serverName);
    if (!socket.waitForConnected(left()))
        return {};
    socket.write(QByteArray(statusRequest) + format + '\n');
    QByteArray answer;
    // The copy hangs up once it has answered.
    while (socket.state() == QLocalSocket::ConnectedState && elapsed.elapsed() < timeoutMs) {
        socket.waitForReadyRead(left());
        answer += socket.readAll();
    }
    answer += socket.readAll();
    if (socket.state() == QLocalSocket::ConnectedState)
        return {true, false, {}};
    return {true, true, answer.trimmed()};
}

bool SingleInstance::listen() {
    if (!m_lock || !m_lock->isLocked())
        return false;
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* socket = m_server->nextPendingConnection()) {
                connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
                connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
                QTimer::singleShot(idleClientMs, socket, &QLocalSocket::abort);
                readRequest(socket);
            }
        });
    }
    if (m_server->isListening())
        return true;
    if (!m_socketFolder.isEmpty() && !singleinstance_os::makePrivateFolder(m_socketFolder))
        return false;
    // We hold the lock, so a socket of that name can only be left over from a copy that
    // crashed: take the name back.
    QLocalServer::removeServer(m_serverName);
    return m_server->listen(m_serverName);
}

void SingleInstance::readRequest(QLocalSocket* socket) {
    // One connection carries one request line; anything else is not one of ours.
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > maxRequestBytes)
            socket->abort();
        return;
    }
    const QByteArray raw = socket->readLine();
    const QByteArray line = raw.size() <= maxRequestBytes ? raw.trimmed() : QByteArray();
    if (line.startsWith(statusRequest) && m_statusAnswer)
        socket->write(m_statusAnswer(line.mid(qstrlen(statusRequest))) + '\n');
    // Hangs up once what was written has gone.
    socket->disconnectFromServer();
    if (line == frontRequest)
        emit frontRequested();
}
