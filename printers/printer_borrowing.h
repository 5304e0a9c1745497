// One run's borrowing of printers, shared by the windows and the command line:
// gives back what runs that are gone left behind, borrows the printers of a
// port before it is opened, and gives them back at the end. It may be called
// from the signal watcher as well as the main thread, so it takes turns itself.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "printers/port_claim.h"
#include "printers/printer_release.h"
#include "printers/run_journal.h"
#include "printers/spooler.h"

namespace tessaly {

class PrinterBorrowing {
public:
    // Uses the system's spooler and the journal folder in its default place.
    PrinterBorrowing();
    // `journalDirectory` holds every run's journal; empty means no journal can
    // be kept, so printers are recorded but never changed.
    PrinterBorrowing(std::unique_ptr<Spooler> spooler, std::string journalDirectory);
    // Gives every borrowed printer back.
    ~PrinterBorrowing();
    PrinterBorrowing(const PrinterBorrowing&) = delete;
    PrinterBorrowing& operator=(const PrinterBorrowing&) = delete;

    // Printers that runs which never reached their teardown left on the dummy
    // port get their own port back; those of runs still alive are left alone.
    void RecoverEarlierRun();
    // Claims the device `portName` names for this run, then borrows its printers.
    // False when another run holds the device: no printer is touched, and the
    // caller must not open the port.
    bool ReleasePrinters(const std::string& portName);
    // Gives every printer back, then lets go of the devices this run claimed.
    void RestorePrinters();
    PrinterPorts Borrowed() const;

private:
    mutable std::mutex m_mutex;
    std::unique_ptr<Spooler> m_spooler;
    std::string m_directory;
    PortClaims m_claims;
    RunJournal m_journal;
    PrinterPortRelease m_release;
};

}  // namespace tessaly
