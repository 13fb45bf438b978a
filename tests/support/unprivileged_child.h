#pragma once

#include <QByteArray>

#include <functional>

#ifdef _WIN32

// Windows files have no owner and group bits (Qt maps the write bits to the read-only attribute,
// and folders take new files regardless): a check of those bits proves nothing there.
inline const char* noPermissionBits() {
    return "Windows has no owner and group permission bits to check";
}

inline int runUnprivileged(const std::function<int()>&, QByteArray* why) {
    *why = noPermissionBits();
    return -1;
}

#else

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

inline const char* noPermissionBits() {
    return nullptr;
}

// Runs check in a forked child without root rights (as "nobody", 65534, when the tests run as
// root: permission bits do not stop root, so a check of them would prove nothing). The result is
// check()'s value (0..99), or -1 with *why set when the rights could not be dropped.
inline int runUnprivileged(const std::function<int()>& check, QByteArray* why) {
    constexpr int cannotDrop = 100;
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(cannotDrop);
        _exit(geteuid() == 0 ? cannotDrop : check());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        *why = "the child could not be started or did not end normally";
        return -1;
    }
    if (WEXITSTATUS(status) == cannotDrop)
        *why = "root rights could not be dropped (setuid to 65534 refused)";
    return WEXITSTATUS(status) == cannotDrop ? -1 : WEXITSTATUS(status);
}

#endif
