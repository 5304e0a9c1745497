// The printers Tessaly has borrowed, by name, with what it needs to give each
// one back.
#pragma once

#include <map>
#include <string>

namespace tessaly {

struct BorrowedPrinter {
    std::string savedPort;
    // This run's own Pause-Printer stopped it (it was running before), so giving
    // it back resumes it. A printer paused by anyone else is never resumed by us.
    bool pausedByUs = false;

    bool operator==(const BorrowedPrinter&) const = default;
};

// Keys are printer names, compared exactly.
using PrinterPorts = std::map<std::string, BorrowedPrinter>;

}  // namespace tessaly
