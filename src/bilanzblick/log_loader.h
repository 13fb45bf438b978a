#pragma once

#include "log_source.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <memory>

class Clock;
class QFileSystemWatcher;
class QThread;

// Reads the activity log on a worker thread and follows the file: a change (a unit finished,
// a target set) is read again within a few seconds. The log itself is never written.
class LogLoader : public QObject {
    Q_OBJECT
public:
    LogLoader(const Clock& clock, logsource::Location location, QObject* parent = nullptr);
    ~LogLoader() override;

    const logsource::Location& location() const { return m_location; }
    // Starts a read unless one runs; a change seen meanwhile is read after it.
    void reload();
    // How often the file is looked at, besides the watcher (which misses some network folders).
    void setPollInterval(int ms) { m_poll.setInterval(ms); }

signals:
    void progress(int percent);
    void loaded(const logsource::Loaded& result);

private:
    void checkFile();
    void finished(std::shared_ptr<logsource::Loaded> result);
    void watch();

    const Clock& m_clock;
    logsource::Location m_location;
    QThread* m_thread = nullptr;
    bool m_pending = false;
    std::shared_ptr<std::atomic<bool>> m_alive = std::make_shared<std::atomic<bool>>(true);
    QFileSystemWatcher* m_watcher = nullptr;
    QTimer m_poll;
    QDateTime m_seenModified;
    qint64 m_seenSize = -1;
};
