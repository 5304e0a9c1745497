// A small file that outlives a crash: every printer Tessaly is about to point
// at the dummy port is written here first, so that a later run can give the
// printer its port back if this one never reaches its teardown.
#pragma once

#include <string>
#include <vector>

#include "printers/printer_ports.h"

namespace tessaly {

class PrinterJournal {
public:
    explicit PrinterJournal(std::string path) : m_path(std::move(path)) {}

    // $XDG_STATE_HOME/tessaly/printers.journal, by default under ~/.local/state.
    // Empty when neither that variable nor HOME is set.
    static std::string DefaultPath();

    const std::string& Path() const { return m_path; }

    // Entries of a missing or unreadable journal read as none; a damaged line
    // is skipped rather than guessed at.
    PrinterPorts Load() const;
    // Adds or replaces one printer. The file is replaced atomically, so a crash
    // leaves either the old journal or the new one. False when it could not be
    // written, in which case the printer must not be changed.
    bool Add(const std::string& name, const BorrowedPrinter& printer) const;
    // Drops printers that were given back; removes the file once it is empty.
    bool Forget(const std::vector<std::string>& names) const;

private:
    bool Save(const PrinterPorts& ports) const;

    std::string m_path;
};

}  // namespace tessaly
