#include "app/switch_manager_app.h"

#include "app/main_dlg.h"
#include "app/window_screenshot.h"
#include "ui/wx_window_services.h"

namespace tessaly {

bool CSwitchManagerApp::OnInit() {
    WxWindowServices services;
    if (m_screenshot) {
        m_exitStatus = SaveWindowScreenshot(m_screenshot->window, m_screenshot->outputPath,
                                            services, m_printers)
                           ? 0
                           : 1;
        return false;
    }
    CMainDlg window(services, m_printers);
    SetTopWindow(&window);
    window.RunModal();
    SetTopWindow(nullptr);
    return false;
}

}  // namespace tessaly
