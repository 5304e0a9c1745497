#include "tools/benchmark/hang_up_sweep.h"

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "cli/console_host.h"
#include "tools/display_line.h"
#include "tools/virtual_display.h"
#include "transactions/transactions.h"

namespace tessaly {

namespace {

struct SendKind {
    const char* name;
    // The emulation the link is opened in before the send; none: the send opens it.
    bool opensItself;
    EmulationMode mode;
    // Runs the send on `link`; true when it reported success.
    std::function<bool(CSerialLink&, const VirtualDisplay&, TransactionHost&)> send;
};

struct SweepRow {
    std::size_t bytes = 0;
    int reportedDone = 0;
    int leftInUserSetting = 0;
};

bool Open(CSerialLink& link, const VirtualDisplay& display, EmulationMode mode,
          TransactionHost& host) {
    return CheckConnection(link, SettingsFor(display), mode, host) == CheckOutcome::Connected;
}

// One run of `kind` against a display that hangs up at byte `cut` of the send
// (0: it does not hang up); the bytes the send put on the line.
std::size_t RunOnce(const SendKind& kind, std::size_t cut, SweepRow& row) {
    VirtualDisplay display;
    ConsoleHost host(nullptr);
    CSerialLink link;
    if (!kind.opensItself && !Open(link, display, kind.mode, host)) {
        return 0;
    }
    display.ClearReceived();
    if (cut > 0) {
        display.SetFault(VirtualDisplay::Fault::HangUp);
        display.SetHangUpAfterBytes(cut);
    }
    const bool done = kind.send(link, display, host);
    link.Close();
    const std::size_t bytes = display.Received().size();
    if (cut > 0) {
        row.reportedDone += done;
        // A display that answers no more cannot be told anything; one that still
        // answers must not be left in user setting mode.
        row.leftInUserSetting += !display.HungUp() && display.InUserSettingMode();
    }
    return bytes;
}

const std::vector<SendKind>& Kinds() {
    static const std::vector<SendKind> kinds = {
        {"check (ESC/POS)", true, kEscPos,
         [](CSerialLink& link, const VirtualDisplay& display, TransactionHost& host) {
             return Open(link, display, kEscPos, host);
         }},
        {"check (QUELMAR, Others)", true, kQuelmar,
         [](CSerialLink& link, const VirtualDisplay& display, TransactionHost& host) {
             return Open(link, display, kQuelmar, host);
         }},
        {"self test (ESC/POS)", false, kEscPos,
         [](CSerialLink& link, const VirtualDisplay&, TransactionHost&) {
             return SelfTest(link, kEscPos);
         }},
        {"self test (Others)", false, kOthers,
         [](CSerialLink& link, const VirtualDisplay&, TransactionHost&) {
             return SelfTest(link, kOthers);
         }},
        {"basic window: send settings", false, kQuelmar,
         [](CSerialLink& link, const VirtualDisplay&, TransactionHost&) {
             return SendBasicSettings(link, 0x10, 3);
         }},
        {"basic window: show information", false, kOthers,
         [](CSerialLink& link, const VirtualDisplay&, TransactionHost&) {
             return ShowInformation(link);
         }},
        {"Get Status", false, kEscPos,
         [](CSerialLink& link, const VirtualDisplay&, TransactionHost& host) {
             SwitchSet read{};
             return ReadSwitches(link, host, read) == ReadOutcome::Complete;
         }},
        {"Set Status", false, kEscPos,
         [](CSerialLink& link, const VirtualDisplay&, TransactionHost& host) {
             return WriteSwitches(link, host, SwitchSet{}) == WriteOutcome::Complete;
         }},
    };
    return kinds;
}

}  // namespace

int RunHangUpSweep(std::FILE* out) {
    const std::vector<SendKind>& kinds = Kinds();
    std::vector<SweepRow> rows(kinds.size());
    const auto started = std::chrono::steady_clock::now();
    // Kinds run side by side, each against displays of its own; the waits are real.
    std::vector<std::thread> threads;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        threads.emplace_back([&kinds, &rows, k] {
            SweepRow& row = rows[k];
            row.bytes = RunOnce(kinds[k], 0, row);
            for (std::size_t cut = 1; cut <= row.bytes; ++cut) {
                RunOnce(kinds[k], cut, row);
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

    std::fprintf(out, "Hang-up sweep: the display hangs up at each byte of the send\n\n");
    std::fprintf(out, "%-32s %6s %14s %13s\n", "send", "bytes", "reported done", "left in mode");
    int failures = 0;
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        std::fprintf(out, "%-32s %6zu %14d %13d\n", kinds[k].name, rows[k].bytes,
                     rows[k].reportedDone, rows[k].leftInUserSetting);
        failures += rows[k].reportedDone + rows[k].leftInUserSetting;
    }
    std::fprintf(out, "\nwall time %.1f s\n", seconds);
    return failures == 0 ? 0 : 1;
}

}  // namespace tessaly
