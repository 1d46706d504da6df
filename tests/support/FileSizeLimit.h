#pragma once

#include <csignal>

#include <sys/resource.h>

// While it lives, no file of this process may grow beyond the given size: a
// write past it fails as a write to a full disk does (EFBIG instead of
// ENOSPC), which reaches code that only flushes its buffer at the end.
class TScopedFileSizeLimit {
public:
    explicit TScopedFileSizeLimit(rlim_t bytes)
    {
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~TScopedFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    TScopedFileSizeLimit(const TScopedFileSizeLimit&) = delete;
    TScopedFileSizeLimit& operator=(const TScopedFileSizeLimit&) = delete;

    bool IsSet() const { return m_set; }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};
