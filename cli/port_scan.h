// Looking for a display: the ESC/POS connection check on each port at each
// speed in turn, stopping at the first answer. Ports are probed side by side,
// each on a thread of its own, so N silent ports take as long as one.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "link/open_failure.h"
#include "signals/stop_request.h"

namespace tessaly {

// What the scan found on one port.
struct ScanFinding {
    enum class Result { Answered, Silent, OpenFailed };
    std::string port;   // the path probed
    std::string label;  // "ttyUSB0 (FT232R USB UART)" for a port found present
    Result result = Result::Silent;
    std::int32_t baud = 0;  // Answered: the speed the display answered at
    OpenFailure failure;    // OpenFailed: why the port could not be opened
};

// The speeds a scan tries when none are named, fastest first.
inline constexpr std::int32_t kScanBauds[] = {115200, 57600, 38400, 19200, 9600};

// `probed` runs after each check (on the probing threads, one at a time).
// Findings come back in the order of `ports`. Once `stop` is requested no port
// starts another check, and the one under way cuts its waits short.
std::vector<ScanFinding> ProbePorts(std::vector<ScanFinding> ports,
                                    const std::vector<std::int32_t>& bauds,
                                    const std::function<void()>& probed,
                                    const StopRequest* stop = nullptr);

}  // namespace tessaly
