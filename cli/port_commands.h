// `ports` and `scan`: the serial devices present, and where a display answers.
#pragma once

#include "cli/cli_commands.h"
#include "cli/cli_request.h"

namespace tessaly {

// Prints the devices present; always status 0 (an empty list is no failure).
int ListPorts(const CliRequest& request, const CliStreams& streams);

// Probes the named ports (or every port present) and prints where a display
// answered. 0 when one did; 1 when none did; 3 when none did and a port could
// not be opened. A port another run holds is not probed and counts as not
// opened. On `stop` the scan ends between two checks and prints nothing more.
int ScanPorts(const CliRequest& request, const CliStreams& streams,
              const BorrowPrinters& borrowPrinters, const StopRequest* stop = nullptr);

}  // namespace tessaly
