// The printers Tessaly has borrowed, by name, with what it needs to give each
// one back.
#pragma once

#include <map>
#include <string>

namespace tessaly {

struct BorrowedPrinter {
    std::string savedPort;
    // Paused before Tessaly touched it, so giving it back leaves it paused.
    bool wasPaused = false;

    bool operator==(const BorrowedPrinter&) const = default;
};

// Keys are printer names, compared exactly.
using PrinterPorts = std::map<std::string, BorrowedPrinter>;

}  // namespace tessaly
