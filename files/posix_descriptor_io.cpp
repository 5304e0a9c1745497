#include "files/descriptor_io.h"

#include <unistd.h>

#include <cerrno>

namespace tessaly {

namespace {

// A write that makes no progress would otherwise loop for ever.
constexpr int kNoProgress = EIO;

}  // namespace

int WriteAllAt(int fd, std::span<const unsigned char> bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return errno;
        }
        if (written == 0) {
            return kNoProgress;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
        offset += written;
    }
    return 0;
}

int ReadAllAt(int fd, std::span<unsigned char> buffer, off_t offset, std::size_t& got) {
    got = 0;
    while (got < buffer.size()) {
        const ssize_t count =
            ::pread(fd, buffer.data() + got, buffer.size() - got, offset + static_cast<off_t>(got));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return errno;
        }
        if (count == 0) {
            break;
        }
        got += static_cast<std::size_t>(count);
    }
    return 0;
}

int ReadAllFromStart(int fd, std::vector<unsigned char>& bytes) {
    bytes.clear();
    unsigned char block[4096];
    for (;;) {
        std::size_t got = 0;
        if (const int error = ReadAllAt(fd, block, static_cast<off_t>(bytes.size()), got);
            error != 0) {
            return error;
        }
        bytes.insert(bytes.end(), block, block + got);
        if (got < sizeof block) {
            return 0;
        }
    }
}

}  // namespace tessaly
