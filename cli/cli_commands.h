// The commands of tessaly-cli, each run to its end and turned into an exit
// status. Results go to `out`; failures, in the windows' sentences, to `err`.
#pragma once

#include <functional>
#include <ostream>

#include "cli/cli_request.h"
#include "printers/printer_borrowing.h"
#include "signals/stop_request.h"

namespace tessaly {

struct CliStreams {
    std::ostream& out;
    std::ostream& err;
    bool progressBar = false;  // draw the bar on `err`
};

// Called just before the port is opened; returns the run's borrowing (which then
// releases the printers of the port), or nullptr to leave printers alone.
using BorrowPrinters = std::function<PrinterBorrowing*()>;

// `stop`, when given, ends the command early: the transaction under way stops
// between two commands (leaving user setting mode), the next one does not start.
int RunCliCommand(const CliRequest& request, const CliStreams& streams,
                  const BorrowPrinters& borrowPrinters, const StopRequest* stop = nullptr);

}  // namespace tessaly
