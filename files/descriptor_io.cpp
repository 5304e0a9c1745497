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

int ReadAllFromStart(int fd, std::vector<unsigned char>& bytes) {
    bytes.clear();
    unsigned char block[4096];
    for (;;) {
        const ssize_t count = ::pread(fd, block, sizeof block, static_cast<off_t>(bytes.size()));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            return errno;
        }
        if (count == 0) {
            return 0;
        }
        bytes.insert(bytes.end(), block, block + count);
    }
}

}  // namespace tessaly
