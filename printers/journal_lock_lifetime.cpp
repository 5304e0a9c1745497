// Construction, moves and destruction of a lock; taking and releasing it are
// each platform's own.
#include <utility>

#include "printers/journal_lock.h"

namespace tessaly {

JournalLock::JournalLock(int fd, std::string lockPath, std::string journalPath)
    : m_fd(fd), m_lockPath(std::move(lockPath)), m_journalPath(std::move(journalPath)) {}

JournalLock::JournalLock(JournalLock&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)),
      m_lockPath(std::move(other.m_lockPath)),
      m_journalPath(std::move(other.m_journalPath)) {}

JournalLock& JournalLock::operator=(JournalLock&& other) noexcept {
    if (this != &other) {
        Release();
        m_fd = std::exchange(other.m_fd, -1);
        m_lockPath = std::move(other.m_lockPath);
        m_journalPath = std::move(other.m_journalPath);
    }
    return *this;
}

JournalLock::~JournalLock() {
    Release();
}

}  // namespace tessaly
