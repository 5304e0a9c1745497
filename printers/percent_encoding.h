// Percent-encoding (%XX), as device URIs carry unusual characters and as the
// printer journal keeps names and URIs on one line each.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessaly {

// Encodes '%', spaces, control bytes and everything outside printable ASCII.
std::string PercentEncoded(std::string_view text);
// Nothing when an escape is cut short, not hexadecimal, or yields a NUL byte.
std::optional<std::string> PercentDecoded(std::string_view text);

}  // namespace tessaly
