// An owned file descriptor, closed when it goes out of scope.
#pragma once

#include <unistd.h>

#include <cerrno>

namespace tessaly {

class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(Descriptor&& other) noexcept : m_fd(other.m_fd) { other.m_fd = -1; }
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            Reset();
            m_fd = other.m_fd;
            other.m_fd = -1;
        }
        return *this;
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Reset(); }

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

    // Close reports errors that a delayed write may only show here: 0 or errno.
    int Close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || ::close(fd) == 0 ? 0 : errno;
    }

private:
    void Reset() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
        m_fd = -1;
    }

    int m_fd = -1;
};

}  // namespace tessaly
