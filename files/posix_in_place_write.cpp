#include "files/in_place_write.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "files/descriptor.h"
#include "files/descriptor_io.h"

namespace tessaly {

namespace {

int WriteWhole(int fd, std::span<const unsigned char> bytes) {
    if (const int error = WriteAllAt(fd, bytes, 0); error != 0) {
        return error;
    }
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) {
        return errno;
    }
    return ::fsync(fd) == 0 ? 0 : errno;
}

}  // namespace

WriteResult WriteInPlace(const std::string& path, std::span<const unsigned char> bytes) {
    // Non-blocking, so that a pipe put in the file's place meanwhile cannot hang us,
    // and not through a link put there meanwhile: the path names the file itself.
    Descriptor file(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!file.valid()) {
        if (errno == EACCES && ::access(path.c_str(), W_OK) == 0) {
            return WriteResult::Refused(
                EACCES,
                "Permission denied: the file can be written but not read, so it could "
                "not be put back if the write failed");
        }
        return WriteResult::FromErrno(errno);
    }
    struct stat st {};
    if (::fstat(file.get(), &st) != 0) {
        return WriteResult::FromErrno(errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return WriteResult::Refused(EINVAL, "It is not a regular file");
    }
    if (static_cast<std::uintmax_t>(st.st_size) > kMaxKeptBytes) {
        return WriteResult::Refused(
            EFBIG, "File too large to be kept aside while it is written over in place");
    }
    std::vector<unsigned char> old;
    if (const int error = ReadAllFromStart(file.get(), old); error != 0) {
        return WriteResult::FromErrno(error);
    }

    const int error = WriteWhole(file.get(), bytes);
    if (error == 0) {
        return {};
    }
    WriteResult failed = WriteResult::FromErrno(error);
    if (const int undo = WriteWhole(file.get(), old); undo != 0) {
        failed.reason +=
            "; the old contents could not be put back: " + WriteResult::FromErrno(undo).reason;
    } else {
        failed.reason += "; the old contents were put back";
    }
    return failed;
}

}  // namespace tessaly
