#include "cli/port_commands.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <iterator>
#include <string>

#include "cli/command_line.h"
#include "cli/json_text.h"
#include "cli/port_scan.h"
#include "files/shown_name.h"
#include "link/port_name.h"
#include "ports/device_names.h"
#include "ports/open_failure_text.h"
#include "ports/port_discovery.h"

namespace tessaly {

namespace {

nlohmann::json PortJson(const SerialPortInfo& port) {
    nlohmann::json holders = nlohmann::json::array();
    for (const PortHolder& holder : port.heldBy) {
        holders.push_back({{"pid", holder.pid}, {"program", holder.program}});
    }
    const std::string com = ComNameOf(port);
    return {{"kernel_name", port.kernelName},
            {"device_path", port.devicePath},
            {"stable_path", port.stablePath},
            {"label", port.Label()},
            {"description", port.Description()},
            {"manufacturer", port.manufacturer},
            {"product", port.product},
            {"serial_number", port.serialNumber},
            {"vendor_id", port.vendorId},
            {"product_id", port.productId},
            {"driver", port.driver},
            {"com_name", com.empty() ? nlohmann::json() : nlohmann::json(com)},
            {"held_by", holders}};
}

void PrintPortText(std::ostream& out, const SerialPortInfo& port) {
    out << port.kernelName << "  " << port.stablePath << '\n';
    if (const std::string description = port.Description(); !description.empty()) {
        out << "    " << description << '\n';
    }
    if (const std::string com = ComNameOf(port); !com.empty()) {
        out << "    opened as " << com << '\n';
    }
    if (!port.heldBy.empty()) {
        out << "    held by " << HoldersText(port.heldBy) << '\n';
    }
}

// The scan's bar on a terminal: one step per check.
class ScanBar {
public:
    ScanBar(std::ostream* err, std::size_t total) : m_err(err), m_total(total) { Draw(); }
    ~ScanBar() { Clear(); }
    void Step() {
        ++m_done;
        Draw();
    }
    void Clear() {
        if (m_err != nullptr) {
            *m_err << '\r' << std::string(kWidth + 30, ' ') << '\r' << std::flush;
        }
    }

private:
    static constexpr std::size_t kWidth = 40;
    void Draw() {
        if (m_err == nullptr || m_total == 0) {
            return;
        }
        const std::size_t filled = std::min(m_done, m_total) * kWidth / m_total;
        *m_err << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << "] "
               << m_done << '/' << m_total << " checks" << std::flush;
    }
    std::ostream* m_err;
    std::size_t m_total;
    std::size_t m_done = 0;
};

std::vector<ScanFinding> Targets(const CliRequest& request) {
    std::vector<ScanFinding> targets;
    if (!request.scanPorts.empty()) {
        for (const std::string& port : request.scanPorts) {
            // Named twice, a port would be refused to its own second probe.
            const bool named = std::any_of(targets.begin(), targets.end(),
                                           [&](const ScanFinding& t) { return t.port == port; });
            if (!named) {
                targets.push_back({port, {}, ScanFinding::Result::Silent, 0, {}});
            }
        }
        return targets;
    }
    for (const SerialPortInfo& port : DiscoverSerialPorts()) {
        targets.push_back({port.stablePath, port.Label(), ScanFinding::Result::Silent, 0, {}});
    }
    return targets;
}

// "ttyUSB0 (FT232R USB UART) at /dev/serial/by-id/...", or the path as named.
std::string Shown(const ScanFinding& finding) {
    const std::string shown =
        finding.label.empty() ? finding.port : finding.label + " at " + finding.port;
    return ShownName(shown);
}

nlohmann::json ScanJson(const std::vector<ScanFinding>& findings) {
    nlohmann::json answered = nlohmann::json::array();
    nlohmann::json silent = nlohmann::json::array();
    nlohmann::json failed = nlohmann::json::array();
    for (const ScanFinding& f : findings) {
        switch (f.result) {
            case ScanFinding::Result::Answered:
                answered.push_back({{"port", f.port},
                                    {"label", f.label},
                                    {"baud", f.baud},
                                    {"data_bits", 8},
                                    {"parity", "none"},
                                    {"stop_bits", 1},
                                    {"emulation", "escpos"}});
                break;
            case ScanFinding::Result::Silent:
                silent.push_back({{"port", f.port}, {"label", f.label}});
                break;
            case ScanFinding::Result::OpenFailed: {
                const OpenFailureExplanation e = ExplainOpenFailure(f.failure);
                failed.push_back({{"port", f.port},
                                  {"label", f.label},
                                  {"reason", e.reason},
                                  {"remedy", e.remedy}});
                break;
            }
        }
    }
    return {{"answered", answered}, {"silent", silent}, {"not_opened", failed}};
}

}  // namespace

int ListPorts(const CliRequest& request, const CliStreams& streams) {
    const std::vector<SerialPortInfo> ports = DiscoverSerialPorts();
    if (request.json) {
        nlohmann::json list = nlohmann::json::array();
        for (const SerialPortInfo& port : ports) {
            list.push_back(PortJson(port));
        }
        streams.out << JsonText(list) << '\n';
        return kExitSuccess;
    }
    if (ports.empty()) {
        streams.err << "No serial ports found.\n";
    }
    for (const SerialPortInfo& port : ports) {
        PrintPortText(streams.out, port);
    }
    return kExitSuccess;
}

int ScanPorts(const CliRequest& request, const CliStreams& streams,
              const BorrowPrinters& borrowPrinters, const StopRequest* stop) {
    std::vector<ScanFinding> targets = Targets(request);
    if (targets.empty()) {
        streams.err << "No serial ports found; name one with --port.\n";
        return kExitDevice;
    }
    std::vector<std::int32_t> bauds = request.scanBauds;
    if (bauds.empty()) {
        bauds.assign(std::begin(kScanBauds), std::end(kScanBauds));
    }
    // Printers on every probed port give it up first, as for any command.
    if (PrinterBorrowing* printers = borrowPrinters ? borrowPrinters() : nullptr) {
        for (ScanFinding& target : targets) {
            if (!printers->ReleasePrinters(target.port)) {
                target.result = ScanFinding::Result::OpenFailed;
                target.failure = HeldByAnotherRun(ResolvePortName(target.port));
            }
        }
    }
    std::vector<ScanFinding> findings;
    {
        ScanBar bar(streams.progressBar ? &streams.err : nullptr, targets.size() * bauds.size());
        findings = ProbePorts(
            std::move(targets), bauds, [&bar] { bar.Step(); }, stop);
    }
    if (stop != nullptr && stop->Requested()) {
        return kExitDevice;  // the caller turns it into 128 + the signal
    }
    bool answered = false;
    bool unopened = false;
    for (const ScanFinding& f : findings) {
        answered = answered || f.result == ScanFinding::Result::Answered;
        unopened = unopened || f.result == ScanFinding::Result::OpenFailed;
    }
    if (request.json) {
        streams.out << JsonText(ScanJson(findings)) << '\n';
    }
    for (const ScanFinding& f : findings) {
        if (f.result == ScanFinding::Result::Answered && !request.json) {
            streams.out << Shown(f) << ": display answered at " << f.baud
                        << " baud, 8 data bits, parity none, 1 stop bit (ESC/POS)\n";
        } else if (f.result == ScanFinding::Result::Silent && !request.json) {
            streams.out << Shown(f) << ": no answer\n";
        } else if (f.result == ScanFinding::Result::OpenFailed) {
            const OpenFailureExplanation e = ExplainOpenFailure(f.failure);
            streams.err << Shown(f) << ": cannot be opened: " << e.reason << '\n';
            if (!e.remedy.empty()) {
                streams.err << "    " << e.remedy << '\n';
            }
        }
    }
    if (answered) {
        return kExitSuccess;
    }
    return unopened ? kExitOpen : kExitDevice;
}

}  // namespace tessaly
