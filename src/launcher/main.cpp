// The program a user, a panel and the desktop start as `taktplan`. A panel asks for the run's
// state every few seconds; loading the full program's libraries costs more than the answer, so
// this one answers that itself, and hands every other start to the full program beside it,
// arguments and all, in the same process.
#include "fast_status.h"
#include "status_request.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

int print(const statusrequest::Outcome& outcome) {
    std::fputs(outcome.error.c_str(), stderr);
    if (!outcome.output.empty() &&
        (std::fwrite(outcome.output.data(), 1, outcome.output.size(), stdout) != outcome.output.size() ||
         std::fflush(stdout) != 0))
        return 1;
    return outcome.status;
}

// The full program: beside this one, wherever a link to this one was started from.
std::string fullProgram() {
    char self[PATH_MAX];
    const ssize_t size = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (size <= 0)
        return {};
    const std::string path(self, size_t(size));
    return path.substr(0, path.rfind('/') + 1) + TAKTPLAN_FULL_PROGRAM;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + std::min(argc, 1), argv + argc);
    const statusrequest::Request request = statusrequest::parse(arguments);
    // Arguments that are no UTF-8 are complained about by the full program as Qt spells them.
    const bool plainText = std::all_of(arguments.begin(), arguments.end(), faststatus::isUtf8);
    if (request.asked && plainText) {
        if (!request.error.empty())
            return print(statusrequest::refused(request));
        const std::string server = faststatus::serverPath();
        if (!server.empty())
            return print(statusrequest::outcome(
                faststatus::ask(server, request.format, statusrequest::answerTimeoutMs)));
    }
    const std::string program = fullProgram();
    if (!program.empty())
        ::execv(program.c_str(), argv);
    std::fprintf(stderr, "taktplan: cannot start the program %s: %s\n",
                 program.empty() ? TAKTPLAN_FULL_PROGRAM : program.c_str(), std::strerror(errno));
    return 1;
}
