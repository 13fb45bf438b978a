#include "sapi_speaker.h"

#include "../left_behind_threads.h"

#include <QThread>
#include <QTimer>

#include <windows.h>
// After windows.h, which it needs.
#include <sapi.h>

// Lives on the speech thread; COM, the speech object and every call to it stay there.
class SapiWorker final : public QObject {
    Q_OBJECT

public:
    SapiWorker() {
        // Asynchronous speech reports nothing by itself: whether a text is done is asked.
        m_poll.setInterval(100);
        connect(&m_poll, &QTimer::timeout, this, &SapiWorker::poll);
    }

    void speak(const QString& text) {
        if (!m_voice && !createVoice()) {
            emit finished(false);
            return;
        }
        if (m_pending)
            emit finished(false); // cut short by the new text
        const HRESULT result = m_voice->Speak(reinterpret_cast<const wchar_t*>(text.utf16()),
                                              SPF_ASYNC | SPF_PURGEBEFORESPEAK | SPF_IS_NOT_XML, nullptr);
        m_pending = SUCCEEDED(result);
        if (!m_pending) {
            m_poll.stop();
            emit finished(false);
            return;
        }
        m_poll.start();
    }

    // Stops the speech and gives COM back, before the thread ends.
    void end() {
        m_poll.stop();
        if (m_voice) {
            m_voice->Speak(nullptr, SPF_PURGEBEFORESPEAK, nullptr);
            m_voice->Release();
            m_voice = nullptr;
        }
        if (m_comReady)
            CoUninitialize();
        m_comReady = false;
    }

signals:
    void finished(bool spoken);

private:
    bool createVoice() {
        if (!m_comTried) {
            m_comTried = true;
            // Single-threaded: the thread's event loop dispatches the messages COM sends.
            m_comReady = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        }
        if (!m_comReady)
            return false;
        void* voice = nullptr;
        if (FAILED(CoCreateInstance(CLSID_SpVoice, nullptr, CLSCTX_ALL, IID_ISpVoice, &voice)) || !voice)
            return false;
        m_voice = static_cast<ISpVoice*>(voice);
        return true;
    }

    void poll() {
        if (!m_pending || !m_voice) {
            m_poll.stop();
            return;
        }
        // S_OK once the text is done; S_FALSE while it is still spoken.
        if (m_voice->WaitUntilDone(0) != S_OK)
            return;
        m_pending = false;
        m_poll.stop();
        emit finished(true);
    }

    ISpVoice* m_voice = nullptr;
    bool m_comTried = false;
    bool m_comReady = false;
    bool m_pending = false;
    // A child, so that it moves to the speech thread with the worker.
    QTimer m_poll{this};
};

namespace {

// As long as on Linux: a speech object that hangs is left behind rather than waited for.
constexpr int speechThreadEndMs = 2000;

} // namespace

SapiSpeaker::SapiSpeaker(QObject* parent) : QObject(parent) {}

SapiSpeaker::~SapiSpeaker() {
    beginEnd();
    leftbehind::endThread(m_thread, m_endDeadline);
}

void SapiSpeaker::beginEnd() {
    if (m_ending)
        return;
    m_ending = true;
    m_endDeadline.setRemainingTime(speechThreadEndMs);
    if (!m_thread)
        return;
    QMetaObject::invokeMethod(
        m_worker,
        [worker = m_worker] {
            worker->end();
            QThread::currentThread()->quit();
        },
        Qt::QueuedConnection);
}

void SapiSpeaker::say(const QString& text) {
    if (m_ending)
        return;
    if (!m_thread) {
        m_thread = new QThread;
        m_thread->setObjectName(QStringLiteral("Sprachausgabe"));
        m_worker = new SapiWorker;
        m_worker->moveToThread(m_thread);
        connect(m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
        connect(m_worker, &SapiWorker::finished, this, &SapiSpeaker::finished, Qt::QueuedConnection);
        m_thread->start();
    }
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, text] { worker->speak(text); }, Qt::QueuedConnection);
}

#include "sapi_speaker.moc"
