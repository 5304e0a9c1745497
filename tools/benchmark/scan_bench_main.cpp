// tessaly-scan-bench: how long `scan` takes for N silent ports, against the
// bound one silent port sets (five speeds, each the check's fixed waits plus the
// one-second wait for the display's synchronisation byte).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "cli/port_scan.h"
#include "tools/virtual_display.h"

namespace {

double ScanSeconds(int ports) {
    std::vector<std::unique_ptr<tessaly::VirtualDisplay>> displays;
    std::vector<tessaly::ScanFinding> targets;
    for (int i = 0; i < ports; ++i) {
        displays.push_back(std::make_unique<tessaly::VirtualDisplay>());
        displays.back()->SetFault(tessaly::VirtualDisplay::Fault::Silent);
        targets.push_back({displays.back()->DevicePath(), {}, {}, 0, {}});
    }
    const std::vector<std::int32_t> bauds(std::begin(tessaly::kScanBauds),
                                          std::end(tessaly::kScanBauds));
    const auto start = std::chrono::steady_clock::now();
    tessaly::ProbePorts(std::move(targets), bauds, {});
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    int most = 8;
    if (argc == 3 && std::strcmp(argv[1], "--ports") == 0) {
        most = std::max(1, std::atoi(argv[2]));
    }
    // 5 speeds x (300 ms + 300 ms + 1000 ms bound + the reads' short timeouts).
    const double bound = 5 * 1.65;
    std::printf("silent ports  scan time  time / one port  time / (5 x 1.65 s)\n");
    double one = 0;
    for (int n = 1; n <= most; n *= 2) {
        const double seconds = ScanSeconds(n);
        if (n == 1) {
            one = seconds;
        }
        std::printf("%12d  %8.3f s  %15.4f  %18.4f\n", n, seconds, seconds / one, seconds / bound);
    }
    return 0;
}
