#pragma once

// A sound or speech thread that did not end when the program did, stuck in its engine (a
// sound server that never answers). The engine's library waits for it in its own end, so the
// process then ends without running the libraries' ends: everything of the user's is saved by
// that time.
class QDeadlineTimer;
class QThread;

namespace leftbehind {

// Waits for the thread (already told to quit) until the deadline and deletes it; a thread still
// running then stays, noted as left behind: destroying a running QThread would end the program
// at once, and it ends with the process anyway.
void endThread(QThread* thread, const QDeadlineTimer& deadline);

void noteThreadLeftBehind();
bool anyThreadLeftBehind();

} // namespace leftbehind
