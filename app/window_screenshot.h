// Pictures of the windows for the documentation, taken from the running
// program so that they show what the operator sees.
#pragma once

#include <string>

#include "printers/printer_borrowing.h"
#include "ui/window_services.h"

namespace tessaly {

// Shows `windowName` ("main", "editor" or "basic") in its initial state and saves
// the window's area of the screen to `outputPath` (PNG). False when the window
// is unknown or the picture could not be taken.
bool SaveWindowScreenshot(const std::string& windowName, const std::string& outputPath,
                          WindowServices& services, PrinterBorrowing& printers);

}  // namespace tessaly
