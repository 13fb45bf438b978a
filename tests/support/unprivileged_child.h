#pragma once

#include <QByteArray>

#include <functional>
#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// Runs check in a forked child without root rights (as "nobody", 65534, when the tests run as
// root: permission bits do not stop root, so a check of them would prove nothing). The result is
// check()'s value (0..99), or -1 with *why set when the rights could not be dropped.
inline int runUnprivileged(const std::function<int()>& check, QByteArray* why) {
    constexpr int cannotDrop = 100;
    const pid_t child = fork();
    if (child < 0) {
        *why = "fork failed";
        return -1;
    }
    if (child == 0) {
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            _exit(cannotDrop);
        if (geteuid() == 0)
            _exit(cannotDrop);
        _exit(check());
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        *why = "the child did not end normally";
        return -1;
    }
    if (WEXITSTATUS(status) == cannotDrop) {
        *why = "root rights could not be dropped (setuid to 65534 refused)";
        return -1;
    }
    return WEXITSTATUS(status);
}
