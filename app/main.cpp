// The tessaly program. The toolkit is started and stopped here rather than by
// its own entry point, so that the end of the main window ends the process with
// status 0.
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include <wx/init.h>

#include "app/switch_manager_app.h"
#include "app/version.h"

namespace {

constexpr const char* kScreenshotOption = "--screenshot-window=";

void PrintVersion() {
    std::printf("tessaly %s (file version %s)\n%s\n", tessaly::kProductVersion,
                tessaly::kFileVersion, tessaly::kProductDescription);
}

}  // namespace

int main(int argc, char** argv) {
    std::optional<tessaly::ScreenshotRequest> screenshot;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            PrintVersion();
            return 0;
        }
        if (std::strncmp(argv[i], kScreenshotOption, std::strlen(kScreenshotOption)) == 0 &&
            i + 1 < argc) {
            screenshot =
                tessaly::ScreenshotRequest{argv[i] + std::strlen(kScreenshotOption), argv[i + 1]};
            ++i;
        }
    }

    wxApp::SetInstance(new tessaly::CSwitchManagerApp(screenshot));
    int toolkitArgc = 1;  // our own options mean nothing to the toolkit
    if (!wxEntryStart(toolkitArgc, argv)) {
        std::fprintf(stderr, "tessaly: cannot open the display\n");
        return 1;
    }
    auto* app = static_cast<tessaly::CSwitchManagerApp*>(wxTheApp);
    app->CallOnInit();
    const int status = app->ExitStatus();
    app->OnExit();
    wxEntryCleanup();
    return status;
}
