// The printer journal's text: a header line, then one line per borrowed printer.
// Names and URIs are percent-encoded so that no byte in them can split or merge
// lines; each field starts with ':' so that an empty one still counts.
#pragma once

#include <string>
#include <string_view>

#include "printers/printer_ports.h"

namespace tessaly {

struct JournalContents {
    PrinterPorts ports;    // every line that could be read
    bool damaged = false;  // no header, or a line that could not be read
};

std::string JournalText(const PrinterPorts& ports);
// Line ends may be LF or CRLF, and blanks at a line's end are ignored, so that
// a journal a person opened and saved again still reads.
JournalContents ParseJournalText(std::string_view text);

}  // namespace tessaly
