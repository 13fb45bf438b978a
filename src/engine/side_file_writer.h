#pragma once

#include <QDeadlineTimer>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

// Writes the side files on a worker thread of its own, so that a slow or hanging folder (a
// network share, a cloud folder) never holds up the windows.
//
// One queue for all files: the writes to one file happen in the order they were asked for, and
// a write still waiting in the queue is replaced by a newer one for the same file (only the last
// content matters to a reader). Every write replaces the file atomically, so a reader sees the
// old content or the new one, never a part. A file that cannot be written is skipped; the
// failure is kept for the owner to collect on its own thread.
class SideFileWriter {
public:
    SideFileWriter();
    // Waits up to shutdownWaitMs for the queue to empty, so that the last value usually reaches
    // its file; a write that hangs longer is left to finish on its own and never blocks the end.
    ~SideFileWriter();
    SideFileWriter(const SideFileWriter&) = delete;
    SideFileWriter& operator=(const SideFileWriter&) = delete;

    // Replaces the file with exactly the text (Windows-1252, no line break added). A path that
    // names one of keepOff (the same file, by any name that leads to it) is not written: a
    // side file set to the settings or the activity log must not wipe them out, nor one set to
    // another side file's path take turns with it.
    void replace(const QString& path, const QString& text, const QStringList& keepOff = {});
    // As replace, but leaves the file alone when its last line already reads text.
    void replaceUnlessLastLineIs(const QString& path, const QString& text, const QStringList& keepOff = {});

    // Waits until every queued write is done; false when ms passed first.
    bool waitUntilIdle(int ms) const;
    // The program ends: from now on the writes still queued get shutdownWaitMs in all, however
    // often one waits for them (the owner at its end, then this writer's destructor).
    void beginEnd();
    bool waitUntilEnd() const;

    struct Failure {
        QString path;
        QString reason;
    };
    // The writes that failed since the last call.
    QList<Failure> takeFailures();

    static constexpr int shutdownWaitMs = 2000;

private:
    struct Shared;
    void enqueue(const QString& path, const QString& text, bool unlessSame, const QStringList& keepOff);

    std::shared_ptr<Shared> m_shared;
    bool m_ending = false;
    QDeadlineTimer m_end;
};
