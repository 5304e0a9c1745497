#include "printers/journal_recovery.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cerrno>

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "printers/journal_file.h"
#include "printers/journal_lock.h"
#include "printers/journal_text.h"
#include "printers/printer_release.h"

namespace tessaly {
namespace {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};

// Paths of the files in `directory` whose names end with `suffix` (hidden ones aside).
std::vector<std::string> FilesEndingIn(const std::string& directory, std::string_view suffix) {
    std::vector<std::string> files;
    std::unique_ptr<DIR, DirCloser> dir(opendir(directory.c_str()));
    if (!dir) {
        return files;
    }
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name.size() > suffix.size() && name.ends_with(suffix) && name[0] != '.') {
            files.push_back(directory + "/" + std::string(name));
        }
    }
    return files;
}

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
        struct stat journal {};
        if (lstat(journalPath.c_str(), &journal) == 0 || errno != ENOENT) {
            continue;  // the journal's own turn above decided about it
        }
        if (std::optional<JournalLock> lock = JournalLock::TakeOver(journalPath)) {
            lock->RemoveIfJournalGone();
        }
    }
}

}  // namespace tessaly
