#include <sys/stat.h>

#include <cerrno>

#include "ports/device_presence.h"

namespace tessaly {

bool DeviceIsGone(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENODEV || errno == ENXIO);
}

}  // namespace tessaly
