#include "printers/printer_borrowing.h"

#include <utility>

#include "printers/journal_recovery.h"

namespace tessaly {

PrinterBorrowing::PrinterBorrowing()
    : PrinterBorrowing(MakeSystemSpooler(), PrinterJournal::DefaultDirectory()) {}

PrinterBorrowing::PrinterBorrowing(std::unique_ptr<Spooler> spooler, std::string journalDirectory)
    : m_spooler(std::move(spooler)),
      m_directory(std::move(journalDirectory)),
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
}

void PrinterBorrowing::ReleasePrinters(const std::string& portName) {
    std::lock_guard lock(m_mutex);
    m_release.ReleasePrinters(portName);
}

void PrinterBorrowing::RestorePrinters() {
    std::lock_guard lock(m_mutex);
    m_release.RestorePrinters();
}

PrinterPorts PrinterBorrowing::Borrowed() const {
    std::lock_guard lock(m_mutex);
    return m_release.Ports();
}

}  // namespace tessaly
