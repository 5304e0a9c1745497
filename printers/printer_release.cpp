#include "printers/printer_release.h"

#include <utility>
#include <vector>

#include "printers/device_match.h"
#include "link/serial_link.h"

namespace tessaly {

PrinterPortRelease::PrinterPortRelease(Spooler& spooler, const PrinterJournal* journal,
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
    if (!success)
        return std::nullopt;
    std::optional<PrinterRecord> record = m_spooler.FetchRecord(printer);
    if (!record)
        success = false;
    return record;
}

void PrinterPortRelease::BorrowPrinter(const PrinterHandle& printer,
                                       const BorrowedPrinter& borrowed, bool& success) {
    std::optional<PrinterRecord> record = FetchForChange(printer, success);
    if (!record || m_journal == nullptr)
        return;
    // A crash from here on must not strand the printer on the dummy port.
    if (!m_journal->Add(printer.name, borrowed))
        return;

    // Paused first: changing the device URI restarts a job in progress, and it
    // must wait in the queue rather than print into the dummy port.
    bool pausedHere = !record->paused && m_spooler.PausePrinter(printer);

    // A printer whose own port the spooler no longer accepts (its backend is
    // gone) could never be given back, so it is left as it is.
    if (!m_spooler.StoreRecord(printer, *record)) {
        if (pausedHere)
            m_spooler.ResumePrinter(printer);
        m_journal->Forget({printer.name});
        return;
    }
    PrinterRecord moved = *record;
    moved.port = kDummyPort;
    m_spooler.StoreRecord(printer, moved);
}

bool PrinterPortRelease::GiveBack(const PrinterHandle& printer, const BorrowedPrinter& borrowed,
                                  bool& success) {
    std::optional<PrinterRecord> record = FetchForChange(printer, success);
    if (!record)
        return false;
    record->port = borrowed.savedPort;
    bool stored = m_spooler.StoreRecord(printer, *record);
    // Resumed only once it is back on its own device, so held jobs print there.
    if (stored && !borrowed.wasPaused)
        m_spooler.ResumePrinter(printer);
    return stored;
}

void PrinterPortRelease::ReleasePrinters(const std::string& portName) {
    std::vector<InstalledPrinter> printers = m_spooler.EnumeratePrinters();
    std::string device = ResolvePortName(portName);
    bool success = true;
    for (const InstalledPrinter& installed : printers) {
        // A printer already on the dummy port is one of ours (or useless to
        // borrow); recording it again would lose its saved port.
        if (installed.port == kDummyPort || !DeviceUriNamesDevice(installed.port, device))
            continue;

        // Recorded before any change and kept even if the change fails. A
        // printer recorded earlier keeps the paused state it had before
        // Tessaly first touched it.
        auto earlier = m_printerPorts.find(installed.name);
        bool wasPaused =
            earlier != m_printerPorts.end() ? earlier->second.wasPaused : installed.paused;
        BorrowedPrinter borrowed{installed.port, wasPaused};
        m_printerPorts[installed.name] = borrowed;

        OpenResult opened = m_spooler.OpenPrinter(installed.name);
        if (opened.status != OpenStatus::Opened)
            continue;
        BorrowPrinter(opened.handle, borrowed, success);
        m_spooler.ClosePrinter(opened.handle);
    }
}

void PrinterPortRelease::RestorePrinters() {
    if (m_printerPorts.empty())
        return;
    bool success = true;
    std::vector<std::string> givenBack;
    for (const auto& [name, borrowed] : m_printerPorts) {
        OpenResult opened = m_spooler.OpenPrinter(name);
        // A printer deleted meanwhile is not re-created: there is nothing to give back.
        if (opened.status == OpenStatus::NoSuchPrinter)
            givenBack.push_back(name);
        if (opened.status != OpenStatus::Opened)
            continue;
        if (GiveBack(opened.handle, borrowed, success))
            givenBack.push_back(name);
        m_spooler.ClosePrinter(opened.handle);
    }
    m_printerPorts.clear();
    if (m_journal != nullptr && !givenBack.empty())
        m_journal->Forget(givenBack);
}

void RecoverPrinters(Spooler& spooler, const PrinterJournal& journal) {
    PrinterPorts left = journal.Load();
    if (left.empty()) {
        // Nothing readable to give back: an empty or damaged journal just goes.
        journal.Forget({});
        return;
    }
    PrinterPortRelease release(spooler, &journal, std::move(left));
    release.RestorePrinters();
}

}  // namespace tessaly
