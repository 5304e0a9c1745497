#include "printers/printer_journal.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "printers/journal_file.h"
#include "printers/journal_text.h"

namespace tessaly {

std::string PrinterJournal::DefaultDirectory() {
    const char* state = std::getenv("XDG_STATE_HOME");
    // Relative values are to be ignored, as if the variable were unset.
    if (state != nullptr && state[0] == '/') {
        return std::string(state) + "/tessaly";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] != '/') {
        return {};
    }
    return std::string(home) + "/.local/state/tessaly";
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
    return unlink(m_path.c_str()) == 0 || errno == ENOENT;
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
