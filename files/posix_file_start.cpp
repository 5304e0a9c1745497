#include "files/file_start.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "files/descriptor.h"
#include "files/descriptor_io.h"

namespace tessaly {

namespace {

std::string Reason(int error) {
    return std::system_category().message(error);
}

}  // namespace

std::string ReadFileStart(const std::string& path, std::span<unsigned char> buffer,
                          std::size_t& got, std::uintmax_t& fileSize) {
    got = 0;
    fileSize = 0;
    // Non-blocking, so that a pipe picked by mistake cannot stop the window for good.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!file.valid()) {
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
    fileSize = static_cast<std::uintmax_t>(st.st_size);
    if (const int error = ReadAllAt(file.get(), buffer, 0, got); error != 0) {
        return Reason(error);
    }
    if (const int closed = file.Close(); closed != 0) {
        return Reason(closed);
    }
    return {};
}

}  // namespace tessaly
