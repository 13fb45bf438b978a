#pragma once

// A sound or speech thread that did not end when the program did, stuck in its engine (a
// sound server that never answers). The engine's library waits for it in its own end, so the
// process then ends without running the libraries' ends: everything of the user's is saved by
// that time.
namespace leftbehind {

void noteThreadLeftBehind();
bool anyThreadLeftBehind();

} // namespace leftbehind
