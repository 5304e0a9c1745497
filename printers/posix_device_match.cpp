#include "printers/device_match.h"

#include <sys/stat.h>

#include <optional>
#include <string_view>

#include "printers/percent_encoding.h"

namespace tessaly {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

std::optional<std::string> DevicePathOf(const std::string& uri) {
    std::string_view rest = uri;
    if (StartsWithIgnoringCase(rest, "serial:")) {
        rest.remove_prefix(7);
    } else if (StartsWithIgnoringCase(rest, "file:")) {
        rest.remove_prefix(5);
    } else {
        return std::nullopt;
    }

    // "scheme:/path" or "scheme:///path"; two slashes would name a host.
    if (rest.starts_with("///")) {
        rest.remove_prefix(2);
    } else if (rest.starts_with("//") || !rest.starts_with("/")) {
        return std::nullopt;
    }

    // Only '?' starts the options: the scheduler keeps a '#' as typed, and udev
    // lets one into by-id names.
    const std::size_t options = rest.find('?');
    if (options != std::string_view::npos) {
        rest = rest.substr(0, options);
    }
    // Device names with unusual characters (by-id links) reach the URI percent-encoded.
    return PercentDecoded(rest);
}

// Two names for one device (a by-id link and its tty) must compare equal, so
// paths that both exist are compared as the files they name; otherwise as
// written. Not through realpath: umockdev's, which the port tests run under,
// crashes the program on a mocked device.
bool SameDevice(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    if (stat(first.c_str(), &a) == 0 && stat(second.c_str(), &b) == 0) {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
    }
    return first == second;
}

}  // namespace

bool DeviceUriNamesDevice(const std::string& deviceUri, const std::string& devicePath) {
    if (devicePath.empty()) {
        return false;
    }
    std::optional<std::string> uriPath = DevicePathOf(deviceUri);
    if (!uriPath || uriPath->size() < 2) {
        return false;
    }
    return SameDevice(*uriPath, devicePath);
}

}  // namespace tessaly
