#include "app/switch_manager_app.h"

#include "app/main_dlg.h"
#include "ui/wx_window_services.h"

namespace tessaly {

bool CSwitchManagerApp::OnInit() {
    WxWindowServices services;
    CMainDlg window(services, m_printers);
    window.ChoosePortAtStart(m_port);
    SetTopWindow(&window);
    m_mainWindow = &window;
    // The watcher's thread only posts; the window is ended on its own thread.
    // Detached below before this object or the window can go away, so a late
    // signal never reaches either.
    m_endRequests.Attach([this] { CallAfter([this] { EndMainWindow(); }); });
    window.RunModal();
    m_endRequests.Detach();
    m_mainWindow = nullptr;
    SetTopWindow(nullptr);
    return false;
}

void CSwitchManagerApp::EndMainWindow() {
    if (m_mainWindow != nullptr) {
        m_mainWindow->EndByRequest();
    }
}

}  // namespace tessaly
