#include "editor/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <random>
#include <string>
#include <system_error>

namespace tessaly {

namespace {

std::string Reason(int error) {
    return std::system_category().message(error);
}

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    // Close reports errors that a delayed write may only show here.
    int Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_;
};

// The file a save really replaces: through a symbolic link to the file it names,
// so that the link survives. A dangling link is replaced like a plain file.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        return path;
    }
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) {
        return path;
    }
    return resolved;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A hidden name beside the target that no other save picks at the same time;
// O_EXCL makes the creation fail rather than reuse a file someone else made.
int CreateSibling(const std::string& target, std::string& name) {
    std::random_device entropy;
    std::uniform_int_distribution<unsigned> digit(0, 35);
    const char* alphabet = "0123456789abcdefghijklmnopqrstuvwxyz";
    const std::string prefix = FolderOf(target) + "/." + BaseOf(target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = prefix;
        for (int i = 0; i < 8; ++i) {
            name += alphabet[digit(entropy)];
        }
        // 0666 so that a new file gets the same permissions the umask gives any file.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    errno = EEXIST;
    return -1;
}

int WriteAll(int fd, std::span<const Byte> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (written == 0) {
            return EIO;  // a write that makes no progress would otherwise loop for ever
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return 0;
}

// The file's contents survive a crash only once its folder entry does too. A folder
// that cannot be synced does not undo a rename that already happened.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

int WriteSibling(int fd, const std::string& target, std::span<const Byte> bytes) {
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (::fchmod(fd, old.st_mode & 07777) != 0) {
            return errno;
        }
    }
    if (const int error = WriteAll(fd, bytes); error != 0) {
        return error;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

}  // namespace

std::string ReplaceFile(const std::string& path, std::span<const Byte> bytes) {
    const std::string target = ResolveTarget(path);
    std::string sibling;
    Descriptor file(CreateSibling(target, sibling));
    if (file.get() < 0) {
        return Reason(errno);
    }
    int error = WriteSibling(file.get(), target, bytes);
    if (const int closed = file.Close(); error == 0) {
        error = closed;
    }
    if (error == 0 && ::rename(sibling.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(sibling.c_str());
        return Reason(error);
    }
    SyncFolder(FolderOf(target));
    return {};
}

std::string ReadFileStart(const std::string& path, std::span<Byte> buffer, std::size_t& got) {
    got = 0;
    // Non-blocking, so that a pipe picked by mistake cannot stop the window for good.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return Reason(errno);
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) {
        return Reason(errno);
    }
    if (S_ISDIR(st.st_mode)) {
        return Reason(EISDIR);
    }
    if (!S_ISREG(st.st_mode)) {
        return "Not a regular file";
    }
    while (got < buffer.size()) {
        const ssize_t count = ::read(file.get(), buffer.data() + got, buffer.size() - got);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return Reason(errno);
        }
        if (count == 0) {
            break;
        }
        got += static_cast<std::size_t>(count);
    }
    if (const int closed = file.Close(); closed != 0) {
        return Reason(closed);
    }
    return {};
}

}  // namespace tessaly
