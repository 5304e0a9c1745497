// tessaly-cli's options and commands, parsed with CLI11.
#pragma once

#include <optional>
#include <ostream>

#include "cli/cli_request.h"

namespace tessaly {

// Exit statuses of tessaly-cli.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitDevice = 1;  // no answer, refused, or a write failed
inline constexpr int kExitUsage = 2;   // bad usage or a bad file
inline constexpr int kExitOpen = 3;    // the port could not be opened or configured

// Fills `request`, or returns the status to exit with at once: 0 after --help,
// kExitUsage after a usage error (both printed to the given streams).
std::optional<int> ParseCommandLine(int argc, const char* const* argv, CliRequest& request,
                                    std::ostream& out, std::ostream& err);

}  // namespace tessaly
