#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QLocalServer;
class QLocalSocket;

// One running copy per user and data folder. The first start holds a lock file and listens on a
// local socket that only the same user may open; a later start finds the lock taken, asks the
// running copy to bring its Planning window to the front, and ends. `taktplan --status` asks the
// same channel for the run's state, without the lock.
//
// The lock and the socket name are derived from the user and the data folder (links resolved,
// so every way to the same folder is one scope), so two portable copies with their own data
// folders (or parallel tests) never see each other.
class SingleInstance final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SingleInstance)

public:
    enum class Claim {
        First,     // we hold the lock: start as usual
        Running,   // another copy holds it: ask it to come forward, then end
        Unchecked, // the lock could not be taken for another reason: start as usual
    };

    // dataFolderPath identifies the instance scope; runtimeFolder holds the lock file and, on
    // Unix, the socket (see defaultRuntimeFolder()).
    SingleInstance(const QString& dataFolderPath, const QString& runtimeFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    // The per-user folder for the lock and the socket: $XDG_RUNTIME_DIR, else a private folder
    // in the temporary folder (created with owner-only access), else, when another user holds
    // that name, one in the user's cache folder; "" when none is usable.
    static QString defaultRuntimeFolder();

    // Takes the lock without waiting. Needs no application object.
    Claim claim();

    // Second start: delivers the bring-to-front request, retrying for at most timeoutMs while
    // the first copy may still be setting up its socket. True when it was delivered.
    bool requestFront(int timeoutMs);

    // What a status question got: reached is false when no copy listens, answered when the copy
    // answered in time; an empty answer comes from a copy still starting.
    struct StatusAnswer {
        bool reached = false;
        bool answered = false;
        QByteArray text;
    };
    // Asks the running copy for its state in a format it knows ("text", "json", "waybar").
    // Never waits for a copy that is not there; waits at most timeoutMs for one that is.
    StatusAnswer requestStatus(const QByteArray& format, int timeoutMs);
    // The running copy's side: what it answers for a format. Until one is set, a status question
    // gets an empty answer. Called on the event loop, so it must not block.
    void setStatusAnswer(std::function<QByteArray(const QByteArray& format)> answer) {
        m_statusAnswer = std::move(answer);
    }

    // First start, once the application object exists: accepts requests from later starts.
    // Reclaims a socket left behind by a crashed copy, since we own the lock.
    bool listen();

    // With the lock held: removes what a copy killed while it set up its socket left behind
    // (Qt's temporary socket folders). Returns the paths removed.
    QStringList removeLeftovers() const;

    QString lockFilePath() const { return m_lockPath; }
    QString serverName() const { return m_serverName; }

signals:
    // A later start asked for the Planning window.
    void frontRequested();

private:
    void readRequest(QLocalSocket* socket);
    // The lock file names no holder (empty or cut short), and still none a moment later.
    bool holderUnknown() const;

    QString m_lockPath;
    QString m_serverName;
    // Our own folder for the socket, "" where the socket is not a file (Windows, long paths).
    QString m_socketFolder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
    std::function<QByteArray(const QByteArray&)> m_statusAnswer;
};
