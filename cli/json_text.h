// JSON as the command line prints it.
#pragma once

#include <string>

namespace tessaly {

// Indented by two. A name that is not valid UTF-8 (a port path, a file name) is
// printed with U+FFFD for its bad bytes instead of ending the run with an exception.
template <typename Json>
std::string JsonText(const Json& value) {
    return value.dump(2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace tessaly
