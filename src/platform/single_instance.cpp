#include "single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr char frontRequest[] = "front";
// A client that connects and never sends its line is dropped after this long.
constexpr int idleClientMs = 5000;
// The longest request we read; anything longer is not one of ours.
constexpr qint64 maxRequestBytes = 64;
// sockaddr_un holds 108 bytes; keep a margin for the terminating zero and Qt's temporary name.
constexpr qsizetype maxSocketPathLength = 90;

QString userKey() {
#ifdef Q_OS_UNIX
    return QString::number(::getuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

QString scopeHash(const QString& dataFolderPath) {
    QString folder = QDir::cleanPath(QFileInfo(dataFolderPath).absoluteFilePath());
#ifdef Q_OS_WIN
    // The same folder may be spelt in any case there.
    folder = folder.toLower();
#endif
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(userKey().toUtf8());
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
#ifdef Q_OS_UNIX
    // A full path keeps the socket in the private folder rather than in the shared /tmp.
    const QString socketPath = QDir(runtimeFolder).filePath(QStringLiteral("taktplan-%1.socket").arg(hash));
    if (!runtimeFolder.isEmpty() && socketPath.toLocal8Bit().size() <= maxSocketPathLength)
        m_serverName = socketPath;
    else
        m_serverName = QStringLiteral("Taktplan-%1-%2").arg(userKey(), hash);
#else
    m_serverName = QStringLiteral("Taktplan-%1").arg(hash);
#endif
}

SingleInstance::~SingleInstance() {
    if (m_server)
        m_server->close();
}

QString SingleInstance::defaultRuntimeFolder() {
#ifdef Q_OS_UNIX
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg)) {
        const QFileInfo info(xdg);
        if (info.isDir() && info.isWritable())
            return QDir::cleanPath(xdg);
    }
    // Without a runtime folder, a folder of our own in the temporary folder: it must be ours and
    // closed to others, or someone else could hold our lock or answer in our place.
    const QString own = QDir(QDir::tempPath()).filePath(QStringLiteral("taktplan-%1").arg(::getuid()));
    const QByteArray ownPath = QFile::encodeName(own);
    if (::mkdir(ownPath.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st {};
    if (::lstat(ownPath.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0)
        return {};
    return own;
#else
    return QDir::tempPath();
#endif
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
    const QLockFile::LockError error = m_lock->error();
    m_lock.reset();
    return error == QLockFile::LockFailedError ? Claim::Running : Claim::Unchecked;
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
    const QByteArray line = socket->readLine();
    socket->disconnectFromServer();
    if (line.size() <= maxRequestBytes && line.trimmed() == frontRequest)
        emit frontRequested();
}
