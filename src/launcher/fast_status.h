#pragma once

#include "status_request.h"

#include <string>

// The entry program's own way to the running copy (POSIX, no Qt): the same channel the full
// program's single instance listens on, found by the same rules.
namespace faststatus {

// Whether the bytes are UTF-8 that a round trip through Qt's text leaves alone.
bool isUtf8(const std::string& text);

// The socket of the copy for this user and data folder, from the environment as the full program
// reads it; "" wherever these rules cannot be sure (the data folder does not exist yet, no
// usable XDG_RUNTIME_DIR, a path too long, text that is not UTF-8): then the full program
// must answer.
std::string serverPath();

// Asks the copy listening there, as the full program does; a copy of another user counts as
// none.
statusrequest::Answer ask(const std::string& socketPath, const std::string& format, int timeoutMs);

} // namespace faststatus
