#include "printers/journal_recovery.h"

#include <vector>

#include "printers/journal_file.h"
#include "printers/journal_lock.h"
#include "printers/journal_text.h"
#include "printers/printer_release.h"

namespace tessaly {
namespace {

const char* Why(JournalReadStatus status) {
    switch (status) {
        case JournalReadStatus::NotRegular:
            return "is not a regular file";
        case JournalReadStatus::TooLarge:
            return "is too large to be a journal";
        default:
            return "cannot be read";
    }
}

}  // namespace

void RecoverPrinters(Spooler& spooler, PrinterJournal& journal) {
    const JournalFileText file = ReadJournalText(journal.Path());
    if (file.status == JournalReadStatus::Missing) {
        return;
    }
    if (file.status != JournalReadStatus::Read) {
        SetJournalAside(journal.Path(), Why(file.status));
        return;
    }
    JournalContents contents = ParseJournalText(file.text);
    if (contents.damaged) {
        // The whole text is kept for a person; what could be read goes on in a
        // fresh journal under the old name.
        if (!SetJournalAside(journal.Path(), "cannot be read whole") || contents.ports.empty() ||
            !journal.Save(contents.ports)) {
            return;
        }
    }
    if (contents.ports.empty()) {
        journal.Forget({});
        return;
    }
    PrinterPortRelease release(spooler, &journal, std::move(contents.ports));
    release.RestorePrinters();
}

void RecoverEarlierRuns(Spooler& spooler, const std::string& directory) {
    if (directory.empty()) {
        return;
    }
    for (const std::string& path : JournalsIn(directory)) {
        std::optional<JournalLock> lock = JournalLock::TakeOver(path);
        if (!lock) {
            continue;  // its run is alive
        }
        PrinterJournal journal(path);
        RecoverPrinters(spooler, journal);
        lock->RemoveIfJournalGone();
    }
}

}  // namespace tessaly
