// The application object: shows the main window modally and ends the program
// when it closes. There is no other main loop.
#pragma once

#include <optional>
#include <string>

#include <wx/app.h>

#include "printers/printer_borrowing.h"

namespace tessaly {

// Renders one window to a PNG instead of running the program (used to keep the
// pictures of the windows up to date).
struct ScreenshotRequest {
    std::string window;  // "main", "editor" or "basic"
    std::string outputPath;
};

class CSwitchManagerApp : public wxApp {
public:
    explicit CSwitchManagerApp(PrinterBorrowing& printers,
                               std::optional<ScreenshotRequest> screenshot = std::nullopt)
        : m_printers(printers), m_screenshot(std::move(screenshot)) {}

    // Runs the main window to its end and returns false: nothing is left to loop.
    bool OnInit() override;

    // Exit status for the process.
    int ExitStatus() const { return m_exitStatus; }

private:
    PrinterBorrowing& m_printers;
    std::optional<ScreenshotRequest> m_screenshot;
    int m_exitStatus = 0;
};

}  // namespace tessaly
