// One run's conversation with the display: the connection check the main window
// runs before anything else, then reads and writes of the switches, each failure
// reported in the windows' words.
#pragma once

#include "cli/cli_commands.h"
#include "cli/console_host.h"
#include "link/serial_link.h"
#include "switches/switch_grid.h"
#include "transactions/transactions.h"

namespace tessaly {

class DisplaySession {
public:
    DisplaySession(const CliRequest& request, const CliStreams& streams,
                   const BorrowPrinters& borrowPrinters, const StopRequest* stop = nullptr);

    CSerialLink& Link() { return m_link; }
    // True once the run was asked to stop: nothing more is sent.
    bool Stopped() const { return m_host.StopRequested(); }

    // Borrows the port's printers unless told not to, opens the port and greets
    // the display. False, with the sentence printed, when it is not connected;
    // false in silence when the run was asked to stop first.
    bool Connect(bool borrowPrinters = true);
    // Switches 10..14 into a fresh grid, as "Get Status" fills a fresh editor.
    bool ReadGrid(SwitchGrid& grid);
    // All five switches as "Set Status" sends them; an exit status.
    int WriteGrid(const SwitchGrid& grid);
    // The same, leaving the success sentence to the caller: false, with the
    // failure's sentence printed, when the write did not complete.
    bool WriteGridQuietly(const SwitchGrid& grid);
    // A command that sends without reading (self test, framed settings): an exit
    // status, failing with `failedText` when `sent` is false.
    int Sent(bool sent, const char* failedText);

    // Prints a sentence on the error stream, below the bar, and returns `status`.
    int Fail(const char* sentence, int status);
    int Succeed(const char* sentence);

    // True after Connect failed to open or configure the port (exit status 3).
    bool OpenFailed() const { return m_openFailed; }

private:
    bool FailToOpen(CheckOutcome outcome, const OpenFailure& failure);

    const CliRequest& m_request;
    const CliStreams& m_streams;
    const BorrowPrinters& m_borrowPrinters;
    CSerialLink m_link;
    ConsoleHost m_host;
    bool m_openFailed = false;
};

SwitchSet CarriedSwitches(const SwitchGrid& grid);

}  // namespace tessaly
