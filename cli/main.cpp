// tessaly-cli: the windows' transactions for scripts, with no window.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <iostream>
#include <optional>

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "cli/program_arguments.h"
#include "printers/printer_borrowing.h"
#include "signals/stop_request.h"
#include "signals/termination_signals.h"

namespace {

// How long a signalled run may take to come to its end the usual way. The
// longest step that does not look at the stop is a connection check against a
// line that takes nothing (four bounded writes and a bounded wait).
constexpr std::chrono::seconds kStopGrace{12};

}  // namespace

int main(int argc, char** argv) {
    using namespace tessaly;

    // Declared before the signal watcher so that they outlive the watcher's thread.
    std::optional<PrinterBorrowing> borrowing;
    std::atomic<PrinterBorrowing*> borrowed{nullptr};
    StopRequest stop;

    // A signal ends the run the way its normal end does: the transaction stops
    // between two commands (a display in user setting mode is told to leave it),
    // the port is closed, which clears its exclusive mark, and the printers are
    // given back, all on the main thread. Only a run that does not get there in
    // time is ended from here, still never with printers left on the dummy port.
    TerminationSignals signals([&](int signal) {
        if (stop.Ended() || (stop.Request(signal) && stop.AwaitEnd(kStopGrace))) {
            return;
        }
        if (PrinterBorrowing* printers = borrowed.load()) {
            printers->RestorePrinters();
        }
        _exit(128 + stop.Signal());
    });

    // Whatever way main returns, the watcher must not wait for an end that came.
    struct EndMark {
        StopRequest& stop;
        ~EndMark() { stop.MarkEnded(); }
    } endMark{stop};

    PrepareStandardStreams();
    const ProgramArguments arguments(argc, argv);
    CliRequest request;
    if (auto status = ParseCommandLine(arguments.Count(), arguments.Values(), request, std::cout,
                                       std::cerr)) {
        return *status;
    }

    const auto borrowPrinters = [&]() -> PrinterBorrowing* {
        if (!borrowing) {
            borrowing.emplace();
            borrowing->RecoverEarlierRun();
            borrowed = &*borrowing;
        }
        return &*borrowing;
    };
    const CliStreams streams{std::cout, std::cerr, isatty(STDERR_FILENO) != 0};
    const int status = RunCliCommand(request, streams, borrowPrinters, &stop);

    // The session closed the port when it ended; the printers get it back now.
    if (borrowing) {
        borrowing->RestorePrinters();
    }
    std::cout.flush();
    return stop.Requested() ? 128 + stop.Signal() : status;
}
