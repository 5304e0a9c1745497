#include "printers/port_list.h"

#include <cctype>

namespace tessaly {
namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
        text.remove_suffix(1);
    }
    return text;
}

// "COM1:", " com1 " and "\\.\COM1" all name the device COM1.
std::string_view DeviceName(std::string_view port) {
    port = Trimmed(port);
    if (port.starts_with("\\\\.\\")) {
        port.remove_prefix(4);
    }
    if (port.ends_with(':')) {
        port.remove_suffix(1);
    }
    return port;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool PortListNamesPort(std::string_view portList, std::string_view portName) {
    const std::string_view wanted = DeviceName(portName);
    if (wanted.empty()) {
        return false;
    }
    while (true) {
        const std::size_t comma = portList.find(',');
        if (SameIgnoringCase(DeviceName(portList.substr(0, comma)), wanted)) {
            return true;
        }
        if (comma == std::string_view::npos) {
            return false;
        }
        portList.remove_prefix(comma + 1);
    }
}

}  // namespace tessaly
