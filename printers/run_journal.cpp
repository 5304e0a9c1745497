#include "printers/run_journal.h"

#include "printers/journal_file.h"

namespace tessaly {

RunJournal::~RunJournal() {
    DropLockWithoutJournal();
}

void RunJournal::DropLockWithoutJournal() {
    if (m_lock && m_lock->RemoveIfJournalGone()) {
        m_lock.reset();
    }
}

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
    if (!PrinterJournal(m_lock->JournalPath()).Add(name, printer)) {
        DropLockWithoutJournal();
        return false;
    }
    return true;
}

bool RunJournal::Forget(const std::vector<std::string>& names) {
    if (!m_lock) {
        return true;
    }
    PrinterJournal journal(m_lock->JournalPath());
    if (!journal.Forget(names)) {
        return false;
    }
    DropLockWithoutJournal();
    return true;
}

}  // namespace tessaly
