#pragma once

#include <QtGlobal>

#ifdef _WIN32

#include <gtest/gtest.h>

// Windows cannot cap the size of a process's files: the tests that need a full disk skip
// themselves there with this reason. Building one anyway fails the test, so none passes by
// writing to a disk that was never full.
class FileSizeLimit {
public:
    static const char* unavailable() { return "Windows cannot cap the size of a process's files"; }
    explicit FileSizeLimit(qint64) { ADD_FAILURE() << unavailable(); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
};

#else

#include <csignal>
#include <sys/resource.h>

// While it lives, no file of this process may grow beyond the given size: writes fail as on a
// full disk. Works for root too, where permission bits would not stop a write.
class FileSizeLimit {
public:
    static const char* unavailable() { return nullptr; }
    explicit FileSizeLimit(qint64 bytes) : m_handler(signal(SIGXFSZ, SIG_IGN)) {
        getrlimit(RLIMIT_FSIZE, &m_old);
        const rlimit small{static_cast<rlim_t>(bytes), m_old.rlim_max};
        setrlimit(RLIMIT_FSIZE, &small);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_old);
        signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_old{};
    void (*m_handler)(int);
};

#endif
