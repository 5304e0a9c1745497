#include "printers/journal_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string_view>
#include <utility>

#include "files/shown_name.h"
#include "printers/journal_file.h"

namespace tessaly {
namespace {

constexpr std::string_view kLockSuffix = kJournalLockSuffix;

bool Exists(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 || errno != ENOENT;
}

}  // namespace

void JournalLock::Release() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

bool JournalLock::RemoveIfJournalGone() {
    if (Exists(m_journalPath)) {
        return false;
    }
    if (m_fd >= 0 && StillNamed(m_fd, m_lockPath)) {
        unlink(m_lockPath.c_str());
    }
    Release();
    return true;
}

std::optional<JournalLock> JournalLock::CreateIn(const std::string& directory) {
    // A few tries against names left by runs that crashed before writing a journal.
    for (int attempt = 0; attempt < 8; ++attempt) {
        std::string lockPath = directory + "/printers-XXXXXX" + std::string(kLockSuffix);
        const int fd = mkostemps(lockPath.data(), static_cast<int>(kLockSuffix.size()), O_CLOEXEC);
        if (fd < 0) {
            return std::nullopt;
        }
        std::string journalPath =
            lockPath.substr(0, lockPath.size() - kLockSuffix.size()) + kJournalSuffix;
        if (flock(fd, LOCK_EX | LOCK_NB) == 0 && !Exists(journalPath)) {
            return JournalLock(fd, std::move(lockPath), std::move(journalPath));
        }
        unlink(lockPath.c_str());
        close(fd);
    }
    return std::nullopt;
}

std::optional<JournalLock> JournalLock::TakeOver(const std::string& journalPath) {
    const std::string_view suffix = kJournalSuffix;
    if (journalPath.size() <= suffix.size() || !journalPath.ends_with(suffix)) {
        return std::nullopt;
    }
    std::string lockPath =
        journalPath.substr(0, journalPath.size() - suffix.size()) + std::string(kLockSuffix);
    // Created when missing: journals from before locks existed have none.
    const int fd = open(lockPath.c_str(),
                        O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "tessaly: printer journal %s: its lock %s cannot be opened\n",
                     ShownName(journalPath).c_str(), ShownName(lockPath).c_str());
        return std::nullopt;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fprintf(stderr, "tessaly: printer journal %s: its lock %s is not a regular file\n",
                     ShownName(journalPath).c_str(), ShownName(lockPath).c_str());
        close(fd);
        return std::nullopt;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 || !StillNamed(fd, lockPath)) {
        close(fd);
        return std::nullopt;
    }
    return JournalLock(fd, std::move(lockPath), journalPath);
}

}  // namespace tessaly
