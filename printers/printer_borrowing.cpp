#include "printers/printer_borrowing.h"

#include <utility>

namespace tessaly {

PrinterBorrowing::PrinterBorrowing()
    : PrinterBorrowing(MakeSystemSpooler(), PrinterJournal::DefaultPath()) {}

PrinterBorrowing::PrinterBorrowing(std::unique_ptr<Spooler> spooler, std::string journalPath)
    : m_spooler(std::move(spooler)),
      m_journal(std::move(journalPath)),
      // Without a place for the journal nothing would survive a crash, so
      // printers are then recorded but never changed.
      m_release(*m_spooler, m_journal.Path().empty() ? nullptr : &m_journal) {}

PrinterBorrowing::~PrinterBorrowing() {
    RestorePrinters();
}

void PrinterBorrowing::RecoverEarlierRun() {
    std::lock_guard lock(m_mutex);
    if (!m_journal.Path().empty())
        RecoverPrinters(*m_spooler, m_journal);
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
