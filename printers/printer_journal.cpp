#include "printers/printer_journal.h"

#include <cstdio>

#include "files/file_replacement.h"
#include "files/shown_name.h"
#include "printers/journal_file.h"
#include "printers/journal_text.h"

namespace tessaly {

// The journal is replaced whole, as the status files are: a crash part-way
// leaves the previous journal, never half of one.
bool WriteJournalText(const std::string& path, const std::string& text) {
    return !path.empty() && ReplaceFileContents(path, text).ok();
}

std::optional<std::string> SetJournalAside(const std::string& path, const std::string& why) {
    for (int n = 1; n <= 1000; ++n) {
        const std::string aside = path + ".aside-" + std::to_string(n);
        const AsideRename renamed = RenameToUnusedName(path, aside);
        if (renamed == AsideRename::NameTaken) {
            continue;
        }
        if (renamed == AsideRename::Renamed) {
            std::fprintf(stderr, "tessaly: printer journal %s %s; kept as %s\n",
                         ShownName(path).c_str(), why.c_str(), ShownName(aside).c_str());
            return aside;
        }
        break;
    }
    std::fprintf(stderr, "tessaly: printer journal %s %s and cannot be set aside\n",
                 ShownName(path).c_str(), why.c_str());
    return std::nullopt;
}

std::string PrinterJournal::DefaultDirectory() {
    return DefaultJournalDirectory();
}

PrinterPorts PrinterJournal::Load() const {
    const JournalFileText file = ReadJournalText(m_path);
    if (file.status != JournalReadStatus::Read) {
        return {};
    }
    return ParseJournalText(file.text).ports;
}

bool PrinterJournal::Add(const std::string& name, const BorrowedPrinter& printer) {
    PrinterPorts ports = Load();
    ports[name] = printer;
    return Save(ports);
}

bool PrinterJournal::Forget(const std::vector<std::string>& names) {
    PrinterPorts ports = Load();
    for (const std::string& name : names) {
        ports.erase(name);
    }
    if (!ports.empty()) {
        return Save(ports);
    }
    return RemoveJournalFile(m_path);
}

bool PrinterJournal::Save(const PrinterPorts& ports) const {
    if (m_path.empty()) {
        return false;
    }
    const std::size_t slash = m_path.rfind('/');
    if (slash != std::string::npos && slash > 0 && !MakeJournalDirectory(m_path.substr(0, slash))) {
        return false;
    }
    return WriteJournalText(m_path, JournalText(ports));
}

}  // namespace tessaly
