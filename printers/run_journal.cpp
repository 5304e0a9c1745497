#include "printers/run_journal.h"

#include "printers/journal_file.h"

namespace tessaly {

bool RunJournal::Add(const std::string& name, const BorrowedPrinter& printer) {
    if (!m_lock) {
        if (m_directory.empty() || !MakeJournalDirectory(m_directory)) {
            return false;
        }
        m_lock = JournalLock::CreateIn(m_directory);
        if (!m_lock) {
            return false;
        }
    }
    return PrinterJournal(m_lock->JournalPath()).Add(name, printer);
}

bool RunJournal::Forget(const std::vector<std::string>& names) {
    if (!m_lock) {
        return true;
    }
    PrinterJournal journal(m_lock->JournalPath());
    if (!journal.Forget(names)) {
        return false;
    }
    if (ReadJournalText(journal.Path()).status == JournalReadStatus::Missing) {
        m_lock->Remove();
        m_lock.reset();
    }
    return true;
}

std::string RunJournal::Path() const {
    return m_lock ? m_lock->JournalPath() : std::string();
}

}  // namespace tessaly
