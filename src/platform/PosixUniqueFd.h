#pragma once

#include <cerrno>
#include <unistd.h>

namespace platform {

// Owns a file descriptor and closes it when it goes out of scope.
class PosixUniqueFd
{
public:
    explicit PosixUniqueFd(int fd = -1) : m_fd(fd) {}
    ~PosixUniqueFd() { close(); }
    PosixUniqueFd(const PosixUniqueFd &) = delete;
    PosixUniqueFd &operator=(const PosixUniqueFd &) = delete;

    void reset(int fd)
    {
        close();
        m_fd = fd;
    }

    bool valid() const { return m_fd >= 0; }
    int get() const { return m_fd; }

    // Closes now; returns 0 or the errno of a failed close, which can be the first
    // report of a failed write on network file systems.
    int close()
    {
        if (m_fd < 0)
            return 0;
        const int result = ::close(m_fd);
        m_fd = -1;
        return result == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

} // namespace platform
