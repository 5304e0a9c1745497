// The tessaly program. The toolkit is started and stopped here rather than by
// its own entry point, so that the end of the main window ends the process with
// status 0.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/console_output.h"
#include "app/switch_manager_app.h"
#include "app/version.h"
#include "link/port_name.h"
#include "printers/printer_borrowing.h"
#include "signals/end_request_relay.h"
#include "signals/stop_request.h"
#include "signals/termination_signals.h"
#include "ui/toolkit.h"

namespace {

// How long a signal waits for the windows to close by themselves: long enough
// for a running device transaction to reach its end. A native message box the
// operator left open cannot be ended from outside; then the printers are given
// back without the windows.
constexpr auto kOrderlyEndBound = std::chrono::seconds(8);

void PrintVersion() {
    std::printf("tessaly %s (file version %s)\n%s\n", tessaly::kProductVersion,
                tessaly::kFileVersion, tessaly::kProductDescription);
}

// Printed before the toolkit starts, so that it needs no display.
void PrintUsage() {
    std::printf(
        "usage: tessaly [--help] [--version] [--port NAME]\n"
        "Opens the main window, which reads and changes the user settings of a customer\n"
        "display on a serial port. %s\n"
        "  -h, --help   print this usage and exit\n"
        "  --version    print the version and exit\n"
        "  --port NAME  choose this port in the window: COM1..COM10, a device path, a\n"
        "               kernel name (ttyUSB0) or a /dev/serial/by-id/ name\n"
        "The same transactions run from a script with tessaly-cli. See tessaly(1).\n",
        tessaly::ComNameMeaning());
}

}  // namespace

int main(int argc, char** argv) {
    tessaly::UseStartingConsole();
    std::string port;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--port") == 0) {
            if (i + 1 == argc || argv[i + 1][0] == '\0') {
                std::fprintf(stderr, "tessaly: --port needs a port name\n");
                return 2;
            }
            port = argv[++i];
            continue;
        }
        if (std::strncmp(argv[i], "--port=", 7) == 0) {
            port = argv[i] + 7;
            continue;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            PrintVersion();
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            PrintUsage();
            return 0;
        }
    }

    // Outlives the signal watcher below, which may have to give the printers
    // back itself. Setting it up starts no thread.
    tessaly::PrinterBorrowing printers;
    // Only its end is used: the windows are asked to end through the relay.
    tessaly::StopRequest run;
    // The watcher reaches the windows only through this, never through the
    // application object, which it could meet half destroyed.
    tessaly::EndRequestRelay endRequests;
    // First, before the toolkit starts threads of its own that would inherit
    // an unblocked signal mask.
    tessaly::TerminationSignals signals([&](int signal) {
        endRequests.Request();
        if (!run.AwaitEnd(kOrderlyEndBound)) {
            printers.RestorePrinters();
            std::_Exit(128 + signal);
        }
    });

    // Printers an earlier run left on the dummy port are given back before the
    // main window opens.
    printers.RecoverEarlierRun();

    tessaly::CSwitchManagerApp app(printers, endRequests, port);
    const int status = tessaly::RunWithToolkit(argv, "tessaly", [&] {
        // A log-off with the windows open: the printers get their own port back
        // before the system stops the program.
        tessaly::OnSessionEnd([&printers] { printers.RestorePrinters(); });
        return app.Run();
    });
    printers.RestorePrinters();
    run.MarkEnded();
    if (signals.Received() != 0)
        return 128 + signals.Received();
    return status;
}
