#include "printers/journal_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>

#include "printers/journal_lock.h"

namespace tessaly {

namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

}  // namespace

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

AsideRename RenameToUnusedName(const std::string& from, const std::string& to) {
    struct stat existing {};
    if (lstat(to.c_str(), &existing) == 0) {
        return AsideRename::NameTaken;
    }
    return rename(from.c_str(), to.c_str()) == 0 ? AsideRename::Renamed : AsideRename::Failed;
}

bool StillNamed(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return fstat(fd, &opened) == 0 && lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
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

std::string DefaultJournalDirectory() {
    const char* state = std::getenv("XDG_STATE_HOME");
    // Relative values are to be ignored, as if the variable were unset.
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/tessaly";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    return std::string(home) + "/.local/state/tessaly";
}

std::vector<std::string> FilesEndingIn(const std::string& directory, std::string_view suffix) {
    std::vector<std::string> files;
    std::unique_ptr<DIR, DirCloser> dir(opendir(directory.c_str()));
    if (!dir) {
        return files;
    }
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.size() > suffix.size() && name.ends_with(suffix) && name[0] != '.') {
            files.push_back(directory + "/" + std::string(name));
        }
    }
    return files;
}

bool RemoveJournalFile(const std::string& path) {
    return unlink(path.c_str()) == 0 || errno == ENOENT;
}

}  // namespace tessaly
