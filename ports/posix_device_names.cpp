#include "ports/device_names.h"

#include <sys/stat.h>

#include <filesystem>

#include "link/port_name.h"
#include "resources/main_lists.h"

namespace tessaly {

namespace {

// The kernel name a link leads to (a by-id link points at "../../ttyUSB0").
std::string LinkedKernelName(const std::string& path) {
    std::error_code error;
    const auto target = std::filesystem::read_symlink(path, error);
    return error ? std::string() : target.filename().string();
}

std::string BaseName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

}  // namespace

std::string ResolveDeviceName(const std::string& name) {
    if (name.empty() || name.front() == '/' || ResolvePortName(name) != name) {
        return ResolvePortName(name);
    }
    const std::string byId = "/dev/serial/by-id/" + name;
    struct stat st {};
    if (lstat(byId.c_str(), &st) == 0) {
        return byId;
    }
    return "/dev/" + name;
}

bool SameDevice(const std::string& a, const std::string& b) {
    if (a == b) {
        return true;
    }
    struct stat sa {};
    struct stat sb {};
    if (stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && S_ISCHR(sa.st_mode) &&
        S_ISCHR(sb.st_mode) && sa.st_rdev != 0) {
        return sa.st_rdev == sb.st_rdev;
    }
    const std::string linkA = LinkedKernelName(a);
    const std::string linkB = LinkedKernelName(b);
    return (!linkA.empty() && linkA == BaseName(b)) || (!linkB.empty() && linkB == BaseName(a));
}

bool Opens(const std::string& path, const SerialPortInfo& port) {
    return SameDevice(path, port.devicePath) || SameDevice(path, port.stablePath);
}

std::string ComNameOf(const SerialPortInfo& port) {
    for (const char* com : kPortItems) {
        if (Opens(ResolvePortName(com), port)) {
            return com;
        }
    }
    return {};
}

std::vector<SerialPortInfo> PortsBeyondComNames(const std::vector<SerialPortInfo>& found) {
    std::vector<SerialPortInfo> beyond;
    for (const SerialPortInfo& port : found) {
        if (ComNameOf(port).empty()) {
            beyond.push_back(port);
        }
    }
    return beyond;
}

}  // namespace tessaly
