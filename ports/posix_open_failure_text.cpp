#include "ports/open_failure_text.h"

#include <grp.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "ports/port_holders.h"

namespace tessaly {

namespace {

std::string SystemReason(int error) {
    const char* name = strerrorname_np(error);
    std::string text = std::strerror(error);
    return name != nullptr ? text + " (" + name + ")" : text;
}

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

}  // namespace

std::string OpenFailureExplanation::Text() const {
    std::string text = path.empty() ? reason : path + ": " + reason;
    if (!remedy.empty()) {
        text += "\n" + remedy;
    }
    return text;
}

OpenFailureExplanation ExplainOpenFailure(const OpenFailure& failure) {
    OpenFailureExplanation e{failure.path, SystemReason(failure.error), {}};
    switch (failure.step) {
        case OpenStep::None:
            e.reason = "no failure";
            break;
        case OpenStep::NoName:
            e.reason = "no port is chosen";
            e.remedy = "Choose a port in the list.";
            break;
        case OpenStep::Open:
        case OpenStep::Exclusive:
            e.remedy = RemedyForOpen(failure);
            break;
        case OpenStep::Lock:
            e.reason = "held by another Tessaly: " + SystemReason(failure.error);
            e.remedy = HeldRemedy(failure.path, "Another Tessaly");
            break;
        case OpenStep::ReadLineState:
            if (failure.error == ENOTTY) {
                e.reason = "not a terminal: " + SystemReason(failure.error);
                e.remedy = "This is not a serial port; choose a serial device.";
            } else {
                e.remedy = RemedyForOpen(failure);
            }
            break;
        case OpenStep::LineItems:
            e.reason = "the line settings have no form on this system (" +
                       std::to_string(failure.baud) + " baud)";
            break;
        case OpenStep::SpeedNotTaken:
            e.reason = "the device does not run at " + std::to_string(failure.baud) + " baud";
            e.remedy = "Choose another baud rate.";
            break;
        case OpenStep::ApplyLineState:
        case OpenStep::ModemOutputs:
            e.reason = "the device refused the line settings: " + SystemReason(failure.error);
            e.remedy = RemedyForOpen(failure);
            break;
    }
    return e;
}

}  // namespace tessaly
