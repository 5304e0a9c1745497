#include "printers/journal_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tessaly {
namespace {

bool WriteAll(int fd, const std::string& data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

// The status files will share one such helper; until then the journal keeps its
// own, and nothing else here writes a journal.
bool WriteJournalText(const std::string& path, const std::string& text) {
    if (path.empty()) {
        return false;
    }
    const std::string dir = DirectoryOf(path);
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    bool written = WriteAll(fd, text) && fsync(fd) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporary.c_str(), path.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk before a printer is changed.
    const int dirFd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

JournalFileText ReadJournalText(const std::string& path) {
    JournalFileText result;
    // O_NONBLOCK: opening a FIFO must not wait for a writer. O_NOFOLLOW: a link
    // could lead anywhere, /dev/zero or a serial device among them.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT) {
            result.status = JournalReadStatus::Missing;
        } else if (errno == ELOOP || errno == ENXIO || errno == EISDIR) {
            result.status = JournalReadStatus::NotRegular;
        } else {
            result.status = JournalReadStatus::Unreadable;
        }
        return result;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        result.status = JournalReadStatus::Unreadable;
    } else if (!S_ISREG(info.st_mode)) {
        result.status = JournalReadStatus::NotRegular;
    } else if (info.st_size > static_cast<off_t>(kJournalSizeLimit)) {
        result.status = JournalReadStatus::TooLarge;
    } else {
        // Read at most one byte past the limit: a file that grows meanwhile is
        // still caught without being read whole.
        result.status = JournalReadStatus::Read;
        char buffer[4096];
        while (true) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0) {
                result.status = JournalReadStatus::Unreadable;
                break;
            }
            if (n == 0) {
                break;
            }
            result.text.append(buffer, static_cast<std::size_t>(n));
            if (result.text.size() > kJournalSizeLimit) {
                result.status = JournalReadStatus::TooLarge;
                break;
            }
        }
    }
    close(fd);
    if (result.status != JournalReadStatus::Read) {
        result.text.clear();
    }
    return result;
}

bool SetJournalAside(const std::string& path, const std::string& why) {
    for (int n = 1; n <= 1000; ++n) {
        const std::string aside = path + ".aside-" + std::to_string(n);
        struct stat existing {};
        if (lstat(aside.c_str(), &existing) == 0) {
            continue;
        }
        if (rename(path.c_str(), aside.c_str()) == 0) {
            std::fprintf(stderr, "tessaly: printer journal %s %s; kept as %s\n", path.c_str(),
                         why.c_str(), aside.c_str());
            return true;
        }
        break;
    }
    std::fprintf(stderr, "tessaly: printer journal %s %s and cannot be set aside\n", path.c_str(),
                 why.c_str());
    return false;
}

bool MakeJournalDirectory(const std::string& dir) {
    if (dir.empty()) {
        return false;
    }
    for (std::size_t slash = dir.find('/', 1);; slash = dir.find('/', slash + 1)) {
        const std::string part = dir.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

}  // namespace tessaly
