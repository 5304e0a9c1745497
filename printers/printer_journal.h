// A small file that outlives a crash: every printer Tessaly is about to point
// at the dummy port is written here first, so that a later run can give the
// printer its port back if this one never reaches its teardown.
#pragma once

#include <string>
#include <vector>

#include "printers/printer_ports.h"

namespace tessaly {

// Where a borrowing writes a printer down before changing it.
class BorrowJournal {
public:
    virtual ~BorrowJournal() = default;
    // Adds or replaces one printer. False when it could not be written, in
    // which case the printer must not be changed.
    virtual bool Add(const std::string& name, const BorrowedPrinter& printer) = 0;
    // Drops printers that need nothing more from us.
    virtual bool Forget(const std::vector<std::string>& names) = 0;
};

// One journal file.
class PrinterJournal : public BorrowJournal {
public:
    explicit PrinterJournal(std::string path) : m_path(std::move(path)) {}

    // The folder that holds every run's journal: $XDG_STATE_HOME/tessaly (by
    // default ~/.local/state/tessaly), or %LOCALAPPDATA%\Tessaly on Windows.
    // Empty when there is no such folder.
    static std::string DefaultDirectory();

    const std::string& Path() const { return m_path; }

    // The entries that can be read; a missing, hostile or damaged file gives
    // what could be read of it, possibly nothing.
    PrinterPorts Load() const;
    // The file is replaced atomically, so a crash leaves the old journal or
    // the new one.
    bool Add(const std::string& name, const BorrowedPrinter& printer) override;
    // Removes the file once it is empty.
    bool Forget(const std::vector<std::string>& names) override;
    bool Save(const PrinterPorts& ports) const;

private:
    std::string m_path;
};

}  // namespace tessaly
