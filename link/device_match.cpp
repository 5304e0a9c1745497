#include "link/device_match.h"

#include <climits>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace tessaly {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i])
            return false;
    }
    return true;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Device names with unusual characters (by-id links) reach the URI percent-encoded.
std::optional<std::string> PercentDecoded(std::string_view text) {
    std::string decoded;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            decoded += text[i];
            continue;
        }
        if (i + 2 >= text.size())
            return std::nullopt;
        int high = HexValue(text[i + 1]);
        int low = HexValue(text[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    if (decoded.find('\0') != std::string::npos)
        return std::nullopt;
    return decoded;
}

std::optional<std::string> DevicePathOf(const std::string& uri) {
    std::string_view rest = uri;
    if (StartsWithIgnoringCase(rest, "serial:"))
        rest.remove_prefix(7);
    else if (StartsWithIgnoringCase(rest, "file:"))
        rest.remove_prefix(5);
    else
        return std::nullopt;

    // "scheme:/path" or "scheme:///path"; two slashes would name a host.
    if (rest.starts_with("///"))
        rest.remove_prefix(2);
    else if (rest.starts_with("//") || !rest.starts_with("/"))
        return std::nullopt;

    std::size_t options = rest.find_first_of("?#");
    if (options != std::string_view::npos)
        rest = rest.substr(0, options);
    return PercentDecoded(rest);
}

// Two names for one device (a by-id link and its tty) must compare equal; a
// path that does not exist is compared as written.
std::string Canonical(const std::string& path) {
    char resolved[PATH_MAX];
    if (realpath(path.c_str(), resolved) != nullptr)
        return resolved;
    return path;
}

}  // namespace

bool DeviceUriNamesDevice(const std::string& deviceUri, const std::string& devicePath) {
    if (devicePath.empty())
        return false;
    std::optional<std::string> uriPath = DevicePathOf(deviceUri);
    if (!uriPath || uriPath->size() < 2)
        return false;
    return Canonical(*uriPath) == Canonical(devicePath);
}

}  // namespace tessaly
