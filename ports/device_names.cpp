#include "ports/device_names.h"

#include <sys/stat.h>

#include <filesystem>

#include "link/port_name.h"
#include "link/serial_link.h"
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

std::vector<SerialPortInfo> PortsBeyondComNames(const std::vector<SerialPortInfo>& found) {
    std::vector<std::string> targets;
    for (const char* com : kPortItems) {
        targets.push_back(ResolvePortName(com));
    }
    std::vector<SerialPortInfo> beyond;
    for (const SerialPortInfo& port : found) {
        bool named = false;
        for (const std::string& target : targets) {
            named =
                named || SameDevice(target, port.devicePath) || SameDevice(target, port.stablePath);
        }
        if (!named) {
            beyond.push_back(port);
        }
    }
    return beyond;
}

}  // namespace tessaly
