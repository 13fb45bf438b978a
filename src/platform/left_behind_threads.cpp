#include "left_behind_threads.h"

#include <QDeadlineTimer>
#include <QThread>

#include <atomic>

namespace leftbehind {
namespace {

std::atomic<bool> leftBehind{false};

} // namespace

void endThread(QThread* thread, const QDeadlineTimer& deadline) {
    if (!thread)
        return;
    if (thread->wait(deadline))
        delete thread;
    else
        noteThreadLeftBehind();
}

void noteThreadLeftBehind() {
    leftBehind = true;
}

bool anyThreadLeftBehind() {
    return leftBehind;
}

} // namespace leftbehind
