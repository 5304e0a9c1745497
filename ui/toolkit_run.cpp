#include "ui/toolkit_run.h"

#include <cstdio>

#include <wx/app.h>
#include <wx/init.h>

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

}  // namespace tessaly
