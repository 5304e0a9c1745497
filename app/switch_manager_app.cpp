#include "app/switch_manager_app.h"

#include "app/main_dlg.h"
#include "ui/toolkit.h"

namespace tessaly {

int CSwitchManagerApp::Run() {
    const std::unique_ptr<WindowServices> services = CreateDesktopServices();
    CMainDlg window(*services, m_printers);
    window.ChoosePortAtStart(m_port);
    m_mainWindow = &window;
    // The watcher's thread only posts; the window is ended on its own thread.
    // Detached below before the window can go away, so a late signal never
    // reaches it.
    m_endRequests.Attach([this, &window] { window.Post([this] { EndMainWindow(); }); });
    window.RunModal();
    m_endRequests.Detach();
    m_mainWindow = nullptr;
    return 0;
}

void CSwitchManagerApp::EndMainWindow() {
    if (m_mainWindow != nullptr) {
        m_mainWindow->EndByRequest();
    }
}

}  // namespace tessaly
