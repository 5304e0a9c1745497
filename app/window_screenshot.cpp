#include "app/window_screenshot.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <wx/timer.h>

#include "app/editing_windows.h"
#include "app/main_dlg.h"

namespace tessaly {

namespace {

std::unique_ptr<CTemplateDialog> CreateWindow(const std::string& name, WindowServices& services,
                                              PrinterBorrowing& printers) {
    if (name == "main") {
        return std::make_unique<CMainDlg>(services, printers);
    }
    if (name == "editor") {
        return CreateEditingWindow(kEscPos, nullptr, services);
    }
    if (name == "basic") {
        return CreateEditingWindow(kQuelmar, nullptr, services);
    }
    return nullptr;
}

// The X server holds what the window drew; ImageMagick's import reads it back.
bool GrabScreenArea(const wxRect& area, const std::string& outputPath) {
    const std::string command = "import -silent -window root -crop " + std::to_string(area.width) +
                                "x" + std::to_string(area.height) + "+" + std::to_string(area.x) +
                                "+" + std::to_string(area.y) + " +repage '" + outputPath + "'";
    return std::system(command.c_str()) == 0;
}

}  // namespace

bool SaveWindowScreenshot(const std::string& windowName, const std::string& outputPath,
                          WindowServices& services, PrinterBorrowing& printers) {
    if (outputPath.find('\'') != std::string::npos) {
        std::fprintf(stderr, "tessaly: unusable file name %s\n", outputPath.c_str());
        return false;
    }
    std::unique_ptr<CTemplateDialog> window = CreateWindow(windowName, services, printers);
    if (!window) {
        std::fprintf(stderr, "tessaly: no window named %s\n", windowName.c_str());
        return false;
    }
    bool saved = false;
    // Give the window time to map and paint, then take the picture and close it.
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        saved = GrabScreenArea(window->GetScreenRect(), outputPath);
        window->EndModal(2);
    });
    timer.StartOnce(1000);
    window->ShowModal();
    return saved;
}

}  // namespace tessaly
