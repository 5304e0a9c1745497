#include "printers/printer_borrowing.h"

#include <utility>

#include "link/port_name.h"
#include "printers/journal_recovery.h"

namespace tessaly {

PrinterBorrowing::PrinterBorrowing()
    : PrinterBorrowing(MakeSystemSpooler(), PrinterJournal::DefaultDirectory()) {}

PrinterBorrowing::PrinterBorrowing(std::unique_ptr<Spooler> spooler, std::string journalDirectory)
    : m_spooler(std::move(spooler)),
      m_directory(std::move(journalDirectory)),
      m_claims(m_directory),
      m_journal(m_directory),
      // Without a place for the journal nothing would survive a crash, so
      // printers are then recorded but never changed.
      m_release(*m_spooler, m_directory.empty() ? nullptr : &m_journal) {}

PrinterBorrowing::~PrinterBorrowing() {
    RestorePrinters();
}

void PrinterBorrowing::RecoverEarlierRun() {
    std::lock_guard lock(m_mutex);
    RecoverEarlierRuns(*m_spooler, m_directory);
    m_claims.RemoveAbandoned();
}

bool PrinterBorrowing::ReleasePrinters(const std::string& portName) {
    std::lock_guard lock(m_mutex);
    // Without a claim (no folder for it) there is no journal either, so the
    // printers are only recorded, never changed.
    if (m_claims.Claim(ResolvePortName(portName)) == PortClaims::Result::HeldElsewhere) {
        return false;
    }
    m_release.ReleasePrinters(portName);
    return true;
}

void PrinterBorrowing::RestorePrinters() {
    std::lock_guard lock(m_mutex);
    m_release.RestorePrinters();
    m_claims.ReleaseAll();
}

PrinterPorts PrinterBorrowing::Borrowed() const {
    std::lock_guard lock(m_mutex);
    return m_release.Ports();
}

}  // namespace tessaly
