#include "printers/journal_recovery.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
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

// No fresh journal could be written (a full disk): what could be read goes back
// all the same. Should any printer stay borrowed, the damaged journal returns to
// its name, so that the next start finds it and tries again.
void GiveBackWithoutJournal(Spooler& spooler, PrinterPorts ports, const std::string& aside,
                            const std::string& journalPath) {
    PrinterPortRelease release(spooler, nullptr, std::move(ports));
    if (!release.RestorePrinters()) {
        std::rename(aside.c_str(), journalPath.c_str());
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
        const std::optional<std::string> aside =
            SetJournalAside(journal.Path(), "cannot be read whole");
        if (!aside || contents.ports.empty()) {
            return;
        }
        if (!journal.Save(contents.ports)) {
            GiveBackWithoutJournal(spooler, std::move(contents.ports), *aside, journal.Path());
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
    for (const std::string& path : FilesEndingIn(directory, kJournalSuffix)) {
        std::optional<JournalLock> lock = JournalLock::TakeOver(path);
        if (!lock) {
            continue;  // its run is alive
        }
        PrinterJournal journal(path);
        RecoverPrinters(spooler, journal);
        lock->RemoveIfJournalGone();
    }
    // A run killed between creating its lock and writing its journal left the lock
    // alone; once nobody holds it, it goes.
    for (const std::string& lockPath : FilesEndingIn(directory, kJournalLockSuffix)) {
        const std::string journalPath =
            lockPath.substr(0, lockPath.size() - std::string_view(kJournalLockSuffix).size()) +
            kJournalSuffix;
        std::error_code error;
        if (std::filesystem::symlink_status(journalPath, error).type() !=
            std::filesystem::file_type::not_found) {
            continue;  // the journal's own turn above decided about it
        }
        if (std::optional<JournalLock> lock = JournalLock::TakeOver(journalPath)) {
            lock->RemoveIfJournalGone();
        }
    }
}

}  // namespace tessaly
