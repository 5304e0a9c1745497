// At start-up, the printers that runs which never reached their teardown left
// on the dummy port get their own port back. A journal is worked off only when
// its run is gone, so a run that is still alive keeps what it borrowed.
#pragma once

#include <string>

#include "printers/printer_journal.h"
#include "printers/spooler.h"

namespace tessaly {

// Every journal in `directory` whose lock can be taken. Silent, except for one
// line on standard error for each journal that had to be set aside.
void RecoverEarlierRuns(Spooler& spooler, const std::string& directory);

// Gives back what one journal holds; its run must be gone. A file that is not
// a journal, or not wholly one, is set aside for a person to read, and the
// printers that could be read from it are given back all the same. Printers
// that cannot be given back now stay in the journal for the next start.
void RecoverPrinters(Spooler& spooler, PrinterJournal& journal);

}  // namespace tessaly
