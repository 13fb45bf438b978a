#include "fast_status.h"

#include "sha256.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace faststatus {

namespace {

// The full program's limit for a socket path (it keeps a margin below sockaddr_un's size).
constexpr size_t maxSocketPathLength = 90;

} // namespace

bool isUtf8(const std::string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const auto* end = p + text.size();
    while (p < end) {
        const unsigned char c = *p;
        int more = 0;
        uint32_t code = 0;
        if (c < 0x80) {
            ++p;
            continue;
        } else if (c >= 0xc2 && c <= 0xdf) {
            more = 1;
            code = c & 0x1f;
        } else if (c >= 0xe0 && c <= 0xef) {
            more = 2;
            code = c & 0x0f;
        } else if (c >= 0xf0 && c <= 0xf4) {
            more = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= more)
            return false;
        for (int i = 1; i <= more; ++i) {
            if ((p[i] & 0xc0) != 0x80)
                return false;
            code = code << 6 | (p[i] & 0x3f);
        }
        // Overlong forms, surrogates and code points past Unicode's end do not round-trip.
        const uint32_t least = more == 1 ? 0x80 : more == 2 ? 0x800 : 0x10000;
        if (code < least || (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff)
            return false;
        p += more + 1;
    }
    return true;
}

namespace {

// An environment value as the full program reads it, when it is text it spells alike.
std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    std::string text = value ? value : "";
    if (!isUtf8(text))
        return std::nullopt;
    return text;
}

// "." and ".." and doubled slashes taken out by the text, as the full program cleans a path.
std::string cleaned(const std::string& absolute) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= absolute.size()) {
        size_t slash = absolute.find('/', at);
        if (slash == std::string::npos)
            slash = absolute.size();
        const std::string part = absolute.substr(at, slash - at);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = slash + 1;
    }
    std::string path;
    for (const std::string& part : parts)
        path += "/" + part;
    return path.empty() ? "/" : path;
}

std::string joined(const std::string& folder, const std::string& name) {
    return folder == "/" ? folder + name : folder + "/" + name;
}

// The data folder as written; "" where the rules below are not the full program's for sure.
std::string dataFolder() {
    const auto overridden = variable("TAKTPLAN_DATA_DIR");
    if (!overridden)
        return {};
    if (!overridden->empty()) {
        if (overridden->front() == '/')
            return cleaned(*overridden);
        // A ':' starts a resource path for Qt.
        if (overridden->front() == ':')
            return {};
        char current[PATH_MAX];
        if (!::getcwd(current, sizeof current) || !isUtf8(current))
            return {};
        return cleaned(std::string(current) + "/" + *overridden);
    }
    const auto base = variable("XDG_DATA_HOME");
    if (!base)
        return {};
    if (!base->empty() && base->front() == '/')
        return cleaned(*base + "/Taktplan");
    if (!base->empty() && base->front() == ':')
        return {};
    const auto home = variable("HOME");
    if (!home || home->empty() || home->front() != '/')
        return {};
    return cleaned(*home + "/.local/share/Taktplan");
}

} // namespace

std::string serverPath() {
    const std::string folder = dataFolder();
    if (folder.empty())
        return {};
    // Every spelling of one folder is one scope: links resolved. A folder not made yet is
    // resolved by the full program, part by part.
    char resolved[PATH_MAX];
    if (!::realpath(folder.c_str(), resolved) || !isUtf8(resolved))
        return {};
    const std::string hash = sha256Hex(std::to_string(::getuid()) + "\n" + resolved).substr(0, 16);

    const auto runtime = variable("XDG_RUNTIME_DIR");
    if (!runtime || runtime->empty() || runtime->front() != '/')
        return {};
    struct stat st {};
    if (::stat(runtime->c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || ::access(runtime->c_str(), W_OK) != 0)
        return {};
    const std::string socket = joined(joined(cleaned(*runtime), "taktplan-" + hash), "socket");
    return socket.size() <= maxSocketPathLength ? socket : std::string();
}

statusrequest::Answer ask(const std::string& socketPath, const std::string& format, int timeoutMs) {
    using clock = std::chrono::steady_clock;
    const clock::time_point deadline = clock::now() + std::chrono::milliseconds(timeoutMs);
    const auto msLeft = [&] {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
        return int(std::max<long long>(0, left.count()));
    };
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        return {};
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);

    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return {};
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    // A copy whose queue of connections is full holds the connect up to this long.
    const timeval sendLimit{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &sendLimit, sizeof sendLimit);
    // No socket, or one a crashed copy left behind, fails at once: nobody to ask.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        return {};
    // Only a copy of our own user may answer in its place.
    ucred peer{};
    socklen_t peerSize = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &peerSize) != 0 || peer.uid != ::getuid())
        return {};

    const std::string line = "status " + format + "\n";
    // A copy that hangs up at once is read below like any other.
    (void)::send(fd, line.data(), line.size(), MSG_NOSIGNAL);
    std::string answer;
    // The copy hangs up once it has answered.
    for (;;) {
        if (clock::now() >= deadline)
            return {true, false, {}};
        pollfd wait{fd, POLLIN, 0};
        const int ready = ::poll(&wait, 1, msLeft());
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready == 0)
            return {true, false, {}};
        char buffer[4096];
        const ssize_t got = ready < 0 ? -1 : ::read(fd, buffer, sizeof buffer);
        if (got > 0) {
            answer.append(buffer, size_t(got));
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        return {true, true, answer};
    }
}

} // namespace faststatus
