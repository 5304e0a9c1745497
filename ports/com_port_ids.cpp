#include "ports/com_port_ids.h"

#include <cctype>

namespace tessaly {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) {
            return false;
        }
    }
    return true;
}

// The four hex digits after `tag` ("VID_"), or nothing.
std::string HexAfter(std::string_view id, std::string_view tag) {
    for (std::size_t at = 0; at + tag.size() + 4 <= id.size(); ++at) {
        if (!StartsWithIgnoringCase(id.substr(at), tag)) {
            continue;
        }
        std::string digits(id.substr(at + tag.size(), 4));
        for (char& c : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(c))) {
                return {};
            }
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return digits;
    }
    return {};
}

}  // namespace

int ComNumber(std::string_view name) {
    if (name.starts_with("\\\\.\\")) {
        name.remove_prefix(4);
    }
    if (name.ends_with(':')) {
        name.remove_suffix(1);
    }
    if (!StartsWithIgnoringCase(name, "COM") || name.size() == 3 || name.size() > 3 + 6) {
        return 0;
    }
    int number = 0;
    for (const char c : name.substr(3)) {
        if (!std::isdigit(static_cast<unsigned char>(c))) {
            return 0;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

UsbIds UsbIdsOf(std::string_view deviceId) {
    UsbIds ids{HexAfter(deviceId, "VID_"), HexAfter(deviceId, "PID_")};
    if (ids.vendorId.empty() || ids.productId.empty()) {
        return {};
    }
    return ids;
}

std::string UsbSerialOf(std::string_view instanceId) {
    if (!StartsWithIgnoringCase(instanceId, "USB\\")) {
        return {};
    }
    const std::size_t slash = instanceId.rfind('\\');
    const std::string_view last = instanceId.substr(slash + 1);
    if (slash < 4 || last.empty() || last.find('&') != std::string_view::npos) {
        return {};
    }
    return std::string(last);
}

}  // namespace tessaly
