#include "play_sound_player.h"

#include "../left_behind_threads.h"

#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <windows.h>
// After windows.h, which it needs.
#include <mmsystem.h>

namespace {

// As long as on Linux: a device that hangs is left behind rather than waited for.
constexpr int soundThreadEndMs = 2000;

// SND_NODEFAULT: a file that cannot be played stays silent instead of the system's beep.
constexpr DWORD playFlags = SND_ASYNC | SND_FILENAME | SND_NODEFAULT;

void playFile(const QString& filePath) {
    const QString native = QDir::toNativeSeparators(filePath);
    PlaySoundW(reinterpret_cast<const wchar_t*>(native.utf16()), nullptr, playFlags);
}

void stopPlaying() {
    PlaySoundW(nullptr, nullptr, 0);
}

} // namespace

PlaySoundPlayer::PlaySoundPlayer(QObject* parent) : QObject(parent) {}

PlaySoundPlayer::~PlaySoundPlayer() {
    beginEnd();
    leftbehind::endThread(m_thread, m_endDeadline);
}

void PlaySoundPlayer::beginEnd() {
    if (m_ending)
        return;
    m_ending = true;
    m_endDeadline.setRemainingTime(soundThreadEndMs);
    if (!m_thread)
        return;
    // Queued behind the sounds asked for before, so none of them starts after the stop.
    QMetaObject::invokeMethod(
        m_worker,
        [] {
            stopPlaying();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
}

void PlaySoundPlayer::play(const QString& filePath) {
    if (m_ending || !QFileInfo(filePath).isFile())
        return;
    if (!m_thread) {
        m_thread = new QThread;
        m_thread->setObjectName(QStringLiteral("Klang"));
        m_worker = new QObject;
        m_worker->moveToThread(m_thread);
        connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
        m_thread->start();
    }
    QMetaObject::invokeMethod(
        m_worker, [filePath] { playFile(filePath); }, Qt::QueuedConnection);
}
