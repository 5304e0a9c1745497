// Printers set up on the display's serial device are pointed at the dummy port
// (and paused, so that their jobs wait) while Tessaly holds the device, and are
// given their own port back at teardown. Both steps are silent and best-effort:
// whatever happens, the connection check and the teardown go on.
#pragma once

#include <optional>
#include <string>

#include "printers/printer_journal.h"
#include "printers/printer_ports.h"
#include "printers/spooler.h"

namespace tessaly {

class PrinterPortRelease {
public:
    // Without a journal nothing survives a crash, so no printer is changed;
    // they are still recorded and given back as usual.
    PrinterPortRelease(Spooler& spooler, const PrinterJournal* journal, PrinterPorts borrowed = {});

    // Borrows every local printer whose device URI names the device that
    // `portName` ("COM1", or a device path) resolves to.
    void ReleasePrinters(const std::string& portName);
    // Gives every recorded printer its saved port back and forgets them all.
    // With nothing recorded it makes no spooler call, so a second call is harmless.
    void RestorePrinters();

    const PrinterPorts& Ports() const { return m_printerPorts; }

private:
    void BorrowPrinter(const PrinterHandle& printer, const BorrowedPrinter& borrowed,
                       bool& success);
    bool GiveBack(const PrinterHandle& printer, const BorrowedPrinter& borrowed, bool& success);
    std::optional<PrinterRecord> FetchForChange(const PrinterHandle& printer, bool& success);

    Spooler& m_spooler;
    const PrinterJournal* m_journal;
    PrinterPorts m_printerPorts;
};

// Gives back the printers a run that never reached its teardown left on the
// dummy port. Called once at start-up, before the main window opens; silent.
// Printers that cannot be given back now stay in the journal for the next run.
void RecoverPrinters(Spooler& spooler, const PrinterJournal& journal);

}  // namespace tessaly
