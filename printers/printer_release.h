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
    PrinterPortRelease(Spooler& spooler, BorrowJournal* journal, PrinterPorts borrowed = {});

    // Borrows every local printer whose device URI names the device that
    // `portName` ("COM1", or a device path) resolves to.
    void ReleasePrinters(const std::string& portName);
    // Gives every recorded printer its saved port back and forgets them all. A
    // printer someone else re-pointed meanwhile is left as it is; one that
    // cannot be given back now stays in the journal for the next start. With
    // nothing recorded it makes no spooler call, so a second call is harmless.
    // True when every recorded printer was settled (back, deleted, or re-pointed
    // by someone else).
    bool RestorePrinters();

    const PrinterPorts& Ports() const { return m_printerPorts; }

private:
    enum class GiveBackResult { Back, ChangedBySomeoneElse, Failed };

    void BorrowPrinter(const PrinterHandle& printer, BorrowedPrinter& borrowed, bool& success);
    GiveBackResult GiveBack(const PrinterHandle& printer, const BorrowedPrinter& borrowed,
                            bool& success);
    std::optional<PrinterRecord> FetchForChange(const PrinterHandle& printer, bool& success);

    Spooler& m_spooler;
    BorrowJournal* m_journal;
    PrinterPorts m_printerPorts;
};

}  // namespace tessaly
