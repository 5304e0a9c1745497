// Device URIs come from the spooler and the journal, device paths from the
// operator. Input: the URI, a NUL byte, the device path. Matching must take any
// of them, and percent decoding must undo its own encoding.
#include "printers/device_match.h"
#include "printers/percent_encoding.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace tessaly;

// The adapters: today's matching and decoding functions, one place to re-point.
bool UriNamesDevice(const std::string& uri, const std::string& path) {
    return DeviceUriNamesDevice(uri, path);
}
std::optional<std::string> Decoded(std::string_view text) {
    return PercentDecoded(text);
}
std::string Encoded(std::string_view text) {
    return PercentEncoded(text);
}

// A path that a serial: URI can carry as it is: one leading slash, and no
// character that ends the path part of a URI.
bool PlainAbsolutePath(const std::string& path) {
    return path.size() >= 2 && path[0] == '/' && path[1] != '/' &&
           path.find_first_of("?#") == std::string::npos && path.find('\0') == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input = fuzz::Text(data, size);
    const std::size_t split = input.find('\0');
    const std::string uri = input.substr(0, split);
    const std::string path = split == std::string::npos ? std::string() : input.substr(split + 1);

    if (UriNamesDevice(uri, path)) {
        FUZZ_CHECK(!path.empty());
    }
    // A URI made from the device's own name names that device.
    if (PlainAbsolutePath(path)) {
        FUZZ_CHECK(UriNamesDevice("serial:" + Encoded(path), path));
        FUZZ_CHECK(UriNamesDevice("serial://" + Encoded(path), path));
    }

    const std::optional<std::string> decoded = Decoded(input);
    if (decoded) {
        FUZZ_CHECK(decoded->find('\0') == std::string::npos);
        FUZZ_CHECK(Decoded(Encoded(*decoded)) == decoded);
    }
    const std::optional<std::string> roundTrip = Decoded(Encoded(input));
    if (input.find('\0') == std::string::npos) {
        FUZZ_CHECK(roundTrip == input);
    } else {
        FUZZ_CHECK(!roundTrip);
    }
    return 0;
}
