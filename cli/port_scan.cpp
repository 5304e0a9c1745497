#include "cli/port_scan.h"

#include <mutex>
#include <thread>

#include "cli/console_host.h"
#include "transactions/transactions.h"

namespace tessaly {

namespace {

// One port, speed after speed; a port that will not open is not tried again.
void ProbeOne(ScanFinding& finding, const std::vector<std::int32_t>& bauds,
              const std::function<void()>& probed, const StopRequest* stop) {
    ConsoleHost host(nullptr, stop);  // no bar of its own: the scan draws one for all ports
    for (const std::int32_t baud : bauds) {
        if (host.StopRequested()) {
            return;
        }
        CSerialLink link;
        const LinkSettings settings{finding.port, baud, 8, 0, 0, 0, kMainWindowTimeouts};
        const CheckOutcome outcome = CheckConnection(link, settings, kEscPos, host);
        link.Close();
        probed();
        if (outcome == CheckOutcome::Connected) {
            finding.result = ScanFinding::Result::Answered;
            finding.baud = baud;
            return;
        }
        if (outcome == CheckOutcome::OpenFailed || outcome == CheckOutcome::ConfigureError) {
            finding.result = ScanFinding::Result::OpenFailed;
            finding.failure = link.LastFailure();
            return;
        }
    }
}

}  // namespace

std::vector<ScanFinding> ProbePorts(std::vector<ScanFinding> ports,
                                    const std::vector<std::int32_t>& bauds,
                                    const std::function<void()>& probed, const StopRequest* stop) {
    std::mutex turn;
    const auto report = [&] {
        std::lock_guard<std::mutex> hold(turn);
        if (probed) {
            probed();
        }
    };
    std::vector<std::thread> threads;
    threads.reserve(ports.size());
    for (ScanFinding& finding : ports) {
        if (finding.result == ScanFinding::Result::OpenFailed) {
            continue;  // refused before the scan began
        }
        threads.emplace_back(
            [&finding, &bauds, &report, stop] { ProbeOne(finding, bauds, report, stop); });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    return ports;
}

}  // namespace tessaly
