#include "printers/printer_release.h"

#include <utility>
#include <vector>

#include "printers/printer_match.h"

namespace tessaly {

PrinterPortRelease::PrinterPortRelease(Spooler& spooler, BorrowJournal* journal,
                                       PrinterPorts borrowed)
    : m_spooler(spooler), m_journal(journal), m_printerPorts(std::move(borrowed)) {}

// The part both directions share: a size query that fails, or a failed fetch,
// turns the run's success mark false, and once it is false no printer of the
// run is changed any more (they are still visited).
std::optional<PrinterRecord> PrinterPortRelease::FetchForChange(const PrinterHandle& printer,
                                                                bool& success) {
    if (!m_spooler.QueryRecordSize(printer)) {
        success = false;
        return std::nullopt;
    }
    if (!success) {
        return std::nullopt;
    }
    std::optional<PrinterRecord> record = m_spooler.FetchRecord(printer);
    if (!record) {
        success = false;
    }
    return record;
}

void PrinterPortRelease::BorrowPrinter(const PrinterHandle& printer, BorrowedPrinter& borrowed,
                                       bool& success) {
    const std::optional<PrinterRecord> record = FetchForChange(printer, success);
    if (!record || m_journal == nullptr) {
        return;
    }
    // A pause of ours from an earlier check counts only while the printer is
    // still paused; one that is paused now without it was paused by someone else.
    borrowed.pausedByUs = borrowed.pausedByUs && record->paused;
    const bool pauseHere = !record->paused;
    BorrowedPrinter planned = borrowed;
    planned.pausedByUs = borrowed.pausedByUs || pauseHere;
    // A crash from here on must not strand the printer on the dummy port.
    if (!m_journal->Add(printer.name, planned)) {
        return;
    }

    // Paused first: changing the device URI restarts a job in progress, and it
    // must wait in the queue rather than print into the dummy port. A running
    // printer that cannot be paused is therefore not moved either.
    if (pauseHere) {
        if (!m_spooler.PausePrinter(printer)) {
            m_journal->Forget({printer.name});
            return;
        }
        borrowed.pausedByUs = true;
    }

    // A printer whose own port the spooler no longer accepts (its backend is
    // gone) could never be given back, so it is left as it is.
    if (!m_spooler.StoreRecord(printer, *record)) {
        if (pauseHere && m_spooler.ResumePrinter(printer)) {
            borrowed.pausedByUs = false;
        }
        if (borrowed.pausedByUs) {
            m_journal->Add(printer.name, borrowed);
        } else {
            m_journal->Forget({printer.name});
        }
        return;
    }
    PrinterRecord moved = *record;
    moved.port = kDummyPort;
    m_spooler.StoreRecord(printer, moved);
}

PrinterPortRelease::GiveBackResult PrinterPortRelease::GiveBack(const PrinterHandle& printer,
                                                                const BorrowedPrinter& borrowed,
                                                                bool& success) {
    std::optional<PrinterRecord> record = FetchForChange(printer, success);
    if (!record) {
        return GiveBackResult::Failed;
    }
    // Someone pointed it elsewhere since we took it: theirs to keep.
    if (record->port != kDummyPort && record->port != borrowed.savedPort) {
        return GiveBackResult::ChangedBySomeoneElse;
    }
    // Our pause is ours to undo only as long as nobody resumed the printer or
    // paused it again for reasons of their own.
    const bool resume = borrowed.pausedByUs && record->paused && record->pausedByTessaly;
    record->port = borrowed.savedPort;
    if (!m_spooler.StoreRecord(printer, *record)) {
        return GiveBackResult::Failed;
    }
    // Resumed only once it is back on its own device, so held jobs print there.
    if (resume && !m_spooler.ResumePrinter(printer)) {
        return GiveBackResult::Failed;
    }
    return GiveBackResult::Back;
}

void PrinterPortRelease::ReleasePrinters(const std::string& portName) {
    const std::vector<InstalledPrinter> printers = m_spooler.EnumeratePrinters();
    bool success = true;
    for (const InstalledPrinter& installed : printers) {
        // A printer already on the dummy port is one of ours (or useless to
        // borrow); recording it again would lose its saved port.
        if (installed.port == kDummyPort || !PrinterUsesPort(installed.port, portName)) {
            continue;
        }

        // Recorded before any change and kept even if the change fails. A
        // printer recorded earlier keeps the pause this run gave it.
        const auto earlier = m_printerPorts.find(installed.name);
        const bool pausedByUs = earlier != m_printerPorts.end() && earlier->second.pausedByUs;
        BorrowedPrinter& borrowed = m_printerPorts[installed.name];
        borrowed = BorrowedPrinter{installed.port, pausedByUs};

        const OpenResult opened = m_spooler.OpenPrinter(installed.name);
        if (opened.status != OpenStatus::Opened) {
            continue;
        }
        BorrowPrinter(opened.handle, borrowed, success);
        m_spooler.ClosePrinter(opened.handle);
    }
}

bool PrinterPortRelease::RestorePrinters() {
    if (m_printerPorts.empty()) {
        return true;
    }
    bool success = true;
    // Only printers confirmed back, confirmed deleted or confirmed changed by
    // someone else leave the journal; a scheduler that did not answer keeps
    // the entry for the next start.
    std::vector<std::string> settled;
    for (const auto& [name, borrowed] : m_printerPorts) {
        const OpenResult opened = m_spooler.OpenPrinter(name);
        // A printer deleted meanwhile is not re-created: there is nothing to give back.
        if (opened.status == OpenStatus::NoSuchPrinter) {
            settled.push_back(name);
        }
        if (opened.status != OpenStatus::Opened) {
            continue;
        }
        if (GiveBack(opened.handle, borrowed, success) != GiveBackResult::Failed) {
            settled.push_back(name);
        }
        m_spooler.ClosePrinter(opened.handle);
    }
    const bool allSettled = settled.size() == m_printerPorts.size();
    m_printerPorts.clear();
    if (m_journal != nullptr && !settled.empty()) {
        m_journal->Forget(settled);
    }
    return allSettled;
}

}  // namespace tessaly
