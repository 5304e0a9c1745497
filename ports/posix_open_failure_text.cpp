#include "ports/open_failure_parts.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "ports/port_holders.h"

namespace tessaly {

std::string SystemReason(int error) {
    const char* name = strerrorname_np(error);
    std::string text = std::strerror(error);
    return name != nullptr ? text + " (" + name + ")" : text;
}

namespace {

// The group that may open the device; Debian gives serial devices to "dialout".
std::string DeviceGroup(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 && st.st_gid != 0) {
        if (const group* g = getgrgid(st.st_gid)) {
            return g->gr_name;
        }
    }
    return "dialout";
}

std::string PermissionRemedy(const std::string& path) {
    const std::string group = DeviceGroup(path);
    return "Add yourself to the \"" + group + "\" group and log in again: sudo usermod -aG " +
           group + " \"$USER\"";
}

std::string HeldRemedy(const std::string& path, const char* whom) {
    const std::vector<PortHolder> holders = FindHolders(path);
    if (holders.empty()) {
        return std::string(whom) + " holds the port; close it and try again.";
    }
    return "It is held by " + HoldersText(holders) + "; close that program and try again.";
}

}  // namespace

std::string RemedyForOpen(const OpenFailure& failure) {
    switch (failure.error) {
        case EACCES:
        case EPERM:
            return PermissionRemedy(failure.path);
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return "No such device: is the adapter plugged in? Choose the port again once it "
                   "is.";
        case EBUSY:
            return HeldRemedy(failure.path, "Another program");
        case EIO:
            return "The device does not respond; unplug the adapter and plug it in again.";
        default:
            return {};
    }
}

std::string AnotherTessalyRemedy(const std::string& path) {
    return HeldRemedy(path, "Another Tessaly");
}

bool MeansNoSerialPort(int error) {
    return error == ENOTTY;
}

}  // namespace tessaly
