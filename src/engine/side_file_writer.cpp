#include "side_file_writer.h"

#include "text_file.h"

#include <QDir>
#include <QFileInfo>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace {

// Far more than any value written here.
constexpr qint64 lastLineBytes = 64 * 1024;
constexpr int replaceAttempts = 5;
constexpr std::chrono::milliseconds replaceRetryPause{20};

struct Job {
    QString path;
    QString text;
    bool unlessSame = false;
    QStringList keepOff;
};

bool sameFile(const QString& a, const QString& b) {
    const QFileInfo first(a), second(b);
    if (QDir::cleanPath(first.absoluteFilePath()) == QDir::cleanPath(second.absoluteFilePath()))
        return true;
    // Links, "..", or another spelling on a system that ignores case: only files that exist
    // can be told apart by what they lead to.
    return first.exists() && second.exists() && first == second;
}

// The work of one job; any failure is returned as its reason, empty when all went well.
QString runJob(const Job& job) {
    for (const QString& kept : job.keepOff) {
        if (!kept.isEmpty() && sameFile(job.path, kept))
            return QStringLiteral("the path names one of the program's own files or another side file");
    }
    // A named pipe, a device or a folder is no side file: reading a pipe waits for a writer
    // that may never come (and holds up every side file behind it), and the replacement would
    // put a plain file in its place.
    if (textfile::isSpecialFile(job.path))
        return QStringLiteral("not a plain file");
    if (job.unlessSame) {
        // A file that cannot be read counts as empty: it is written anew.
        // Only the end is read: a path set to a big file by mistake costs no more than a small one.
        const textfile::ReadResult current = textfile::readLastLine(job.path, lastLineBytes);
        if (current.ok && !current.lines.isEmpty() && current.lines.last() == job.text)
            return QString();
    }
    // Windows refuses to replace a file while another program has it open, if only for a moment
    // (a reader of the side file, a virus scanner): the write is tried again before it counts as
    // failed, or the file would keep an old value until the next write comes.
    QString error;
    for (int attempt = 1;; ++attempt) {
        error.clear();
        if (textfile::writeText(job.path, job.text, &error))
            return QString();
        if (attempt == replaceAttempts)
            break;
        std::this_thread::sleep_for(replaceRetryPause);
    }
    return error.isEmpty() ? QStringLiteral("not written") : error;
}

} // namespace

// Everything the worker touches; it outlives the writer when a hanging write is left behind.
struct SideFileWriter::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable idle;
    std::deque<Job> jobs;
    QList<SideFileWriter::Failure> failures;
    bool busy = false;
    bool stop = false;
    std::thread worker;

    bool isIdle() const { return jobs.empty() && !busy; }

    static void work(const std::shared_ptr<Shared>& self) {
        std::unique_lock lock(self->mutex);
        for (;;) {
            self->wake.wait(lock, [&] { return self->stop || !self->jobs.empty(); });
            if (self->jobs.empty())
                return; // stop with nothing left to do
            const Job job = std::move(self->jobs.front());
            self->jobs.pop_front();
            self->busy = true;
            lock.unlock();
            const QString failure = runJob(job);
            lock.lock();
            if (!failure.isEmpty())
                self->failures.append({job.path, failure});
            self->busy = false;
            if (self->isIdle())
                self->idle.notify_all();
        }
    }
};

SideFileWriter::SideFileWriter() : m_shared(std::make_shared<Shared>()) {}

SideFileWriter::~SideFileWriter() {
    beginEnd();
    const bool done = waitUntilEnd();
    std::thread worker;
    {
        std::lock_guard lock(m_shared->mutex);
        m_shared->stop = true;
        // Writes nobody started in time are dropped: the program is ending.
        m_shared->jobs.clear();
        worker = std::move(m_shared->worker);
    }
    m_shared->wake.notify_all();
    if (!worker.joinable())
        return;
    if (done)
        worker.join();
    else
        worker.detach(); // holds its own reference to the shared state
}

void SideFileWriter::replace(const QString& path, const QString& text, const QStringList& keepOff) {
    enqueue(path, text, false, keepOff);
}

void SideFileWriter::replaceUnlessLastLineIs(const QString& path, const QString& text,
                                             const QStringList& keepOff) {
    enqueue(path, text, true, keepOff);
}

void SideFileWriter::enqueue(const QString& path, const QString& text, bool unlessSame,
                             const QStringList& keepOff) {
    {
        std::lock_guard lock(m_shared->mutex);
        Job job{path, text, unlessSame, keepOff};
        bool replaced = false;
        for (Job& waiting : m_shared->jobs) {
            // Only a write of the same kind: one that may be refused must not drop one that may not.
            if (waiting.path == path && waiting.keepOff == keepOff) {
                waiting = std::move(job);
                replaced = true;
                break;
            }
        }
        if (!replaced)
            m_shared->jobs.push_back(std::move(job));
        if (!m_shared->worker.joinable())
            m_shared->worker = std::thread(&Shared::work, m_shared);
    }
    m_shared->wake.notify_one();
}

bool SideFileWriter::waitUntilIdle(int ms) const {
    std::unique_lock lock(m_shared->mutex);
    return m_shared->idle.wait_for(lock, std::chrono::milliseconds(ms),
                                   [this] { return m_shared->isIdle(); });
}

void SideFileWriter::beginEnd() {
    if (m_ending)
        return;
    m_ending = true;
    m_end.setRemainingTime(shutdownWaitMs);
}

bool SideFileWriter::waitUntilEnd() const {
    return waitUntilIdle(int(m_end.remainingTime()));
}

QList<SideFileWriter::Failure> SideFileWriter::takeFailures() {
    std::lock_guard lock(m_shared->mutex);
    return std::exchange(m_shared->failures, {});
}
