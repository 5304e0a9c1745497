#include "ui/wx/toolkit_run.h"

#include <cstdio>

#include <wx/app.h>
#include <wx/init.h>

#include "ui/toolkit.h"
#include "ui/wx/wx_window_services.h"

namespace tessaly {

int RunWithToolkit(wxApp* app, char** argv, const char* program, const std::function<int()>& run) {
    wxApp::SetInstance(app);
    int toolkitArgc = 1;  // the program's own options mean nothing to the toolkit
    if (!wxEntryStart(toolkitArgc, argv)) {
        std::fprintf(stderr, "%s: cannot open the display\n", program);
        return 1;
    }
    wxTheApp->CallOnInit();
    const int status = run();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return status;
}

int RunWithToolkit(char** argv, const char* program, const std::function<int()>& run) {
    return RunWithToolkit(new wxApp, argv, program, run);
}

void CallOnToolkitThread(std::function<void()> call) {
    if (wxTheApp != nullptr) {
        wxTheApp->CallAfter(std::move(call));
    }
}

void OnSessionEnd(std::function<void()>) {}

std::unique_ptr<WindowServices> CreateDesktopServices() {
    return std::make_unique<WxWindowServices>();
}

}  // namespace tessaly
