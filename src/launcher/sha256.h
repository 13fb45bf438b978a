#pragma once

#include <string>
#include <string_view>

// SHA-256 of bytes as 64 lower-case hex digits: the entry program names the running copy's
// channel as the full program does, without a crypto library to load.
std::string sha256Hex(std::string_view bytes);
