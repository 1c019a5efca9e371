// A disk that is full after limit bytes of any file of the process: writing past it fails with
// EFBIG, and the signal that would end the process is ignored while the limit holds.
#pragma once

#include <csignal>
#include <sys/resource.h>

namespace pv::test {

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        m_set = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = m_saved;
        limited.rlim_cur = limit;
        m_set = m_set && setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    /// The limit is in force.
    bool Set() const { return m_set; }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
    bool m_set = false;
};

} // namespace pv::test
