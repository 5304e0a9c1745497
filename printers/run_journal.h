// This run's own journal: created, and its lock taken, when the first printer
// is about to be borrowed; removed with its lock once every printer is back.
// If printers remain when the run ends, the journal stays for the next start.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "printers/journal_lock.h"
#include "printers/printer_journal.h"

namespace tessaly {

class RunJournal : public BorrowJournal {
public:
    explicit RunJournal(std::string directory) : m_directory(std::move(directory)) {}
    // A journal with printers in it stays for the next start; a lock without
    // a journal goes.
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // False when no journal of our own can be locked and written: the printer
    // must then stay as it is.
    bool Add(const std::string& name, const BorrowedPrinter& printer) override;
    bool Forget(const std::vector<std::string>& names) override;

private:
    void DropLockWithoutJournal();

    std::string m_directory;
    std::optional<JournalLock> m_lock;
};

}  // namespace tessaly
