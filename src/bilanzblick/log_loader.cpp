#include "log_loader.h"

#include "clock.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QThread>

LogLoader::LogLoader(const Clock& clock, logsource::Location location, QObject* parent)
    : QObject(parent), m_clock(clock), m_location(std::move(location)),
      m_watcher(new QFileSystemWatcher(this)) {
    connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &LogLoader::checkFile);
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &LogLoader::checkFile);
    m_poll.setInterval(2000);
    connect(&m_poll, &QTimer::timeout, this, &LogLoader::checkFile);
    m_poll.start();
    watch();
}

LogLoader::~LogLoader() {
    *m_alive = false;
    if (m_thread) {
        // The reader only works on its own copy; it is let finish before the window goes.
        m_thread->wait();
        delete m_thread;
    }
}

void LogLoader::watch() {
    // A log that does not exist yet is watched through its folder, so its creation is seen.
    const QFileInfo info(m_location.path);
    if (info.exists() && !m_watcher->files().contains(info.absoluteFilePath()))
        m_watcher->addPath(info.absoluteFilePath());
    const QString folder = info.absolutePath();
    if (QFileInfo(folder).isDir() && !m_watcher->directories().contains(folder))
        m_watcher->addPath(folder);
}

void LogLoader::checkFile() {
    const QFileInfo info(m_location.path);
    const qint64 size = info.exists() ? info.size() : -1;
    const QDateTime modified = info.exists() ? info.lastModified() : QDateTime();
    if (size == m_seenSize && modified == m_seenModified)
        return;
    watch();
    reload();
}

void LogLoader::reload() {
    if (m_thread) {
        m_pending = true;
        return;
    }
    const QFileInfo info(m_location.path);
    m_seenSize = info.exists() ? info.size() : -1;
    m_seenModified = info.exists() ? info.lastModified() : QDateTime();
    const logsource::Location location = m_location;
    const QDate today = m_clock.today();
    auto alive = m_alive;
    // Events posted to this object are dropped when it goes; the destructor waits for the thread.
    LogLoader* self = this;
    m_thread = QThread::create([location, today, alive, self]() {
        int lastPercent = -1;
        auto result = std::make_shared<logsource::Loaded>(logsource::load(location, today, [&](int percent) {
            // A window closed meanwhile stops the reading instead of waiting for its end.
            if (!*alive)
                return false;
            if (percent != lastPercent) {
                lastPercent = percent;
                QMetaObject::invokeMethod(
                    self, [self, percent]() { emit self->progress(percent); }, Qt::QueuedConnection);
            }
            return true;
        }));
        QMetaObject::invokeMethod(
            self, [self, result]() { self->finished(result); }, Qt::QueuedConnection);
    });
    m_thread->start();
}

void LogLoader::finished(std::shared_ptr<logsource::Loaded> result) {
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    emit loaded(*result);
    if (m_pending) {
        m_pending = false;
        reload();
    }
}
