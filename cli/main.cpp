// tessaly-cli: the windows' transactions for scripts, with no window.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>
#include <optional>

#include "cli/cli_commands.h"
#include "cli/command_line.h"
#include "printers/printer_borrowing.h"
#include "signals/termination_signals.h"

int main(int argc, char** argv) {
    using namespace tessaly;

    // Declared before the signal watcher so that it outlives the watcher's thread.
    std::optional<PrinterBorrowing> borrowing;
    std::atomic<PrinterBorrowing*> borrowed{nullptr};

    // A signal ends the run at once, but never with printers left on the dummy
    // port: they are given back first. The port needs nothing: the kernel closes it.
    TerminationSignals signals([&borrowed](int signal) {
        if (PrinterBorrowing* printers = borrowed.load()) {
            printers->RestorePrinters();
        }
        if (isatty(STDERR_FILENO)) {
            [[maybe_unused]] const auto written = write(STDERR_FILENO, "\n", 1);
        }
        _exit(128 + signal);
    });

    CliRequest request;
    if (auto status = ParseCommandLine(argc, argv, request, std::cout, std::cerr)) {
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
    const int status = RunCliCommand(request, streams, borrowPrinters);

    // The session closed the port when it ended; the printers get it back now.
    if (borrowing) {
        borrowing->RestorePrinters();
    }
    std::cout.flush();
    return status;
}
