// The basic settings window: sends a code table and an international character
// set to displays that take the framed commands, and asks them to show their own
// information. It only sends and reads nothing; its one message says that a
// command did not go out whole.
#pragma once

#include <cstdint>

#include "link/serial_link.h"
#include "ui/template_dialog.h"
#include "ui/window_services.h"

namespace tessaly {

class CBasicSettingsDlg : public CTemplateDialog {
public:
    // No parent: run modally over the main window, which sets m_pLink before the run.
    explicit CBasicSettingsDlg(WindowServices& services);

    // Borrowed from the main window, open for the whole run; never opened or closed here.
    CSerialLink* m_pLink = nullptr;

    // The lists' selected indices (-1: no selection).
    std::int32_t m_codeTable = 0;
    std::int32_t m_intlSet = 0;

protected:
    void DoDataExchange(DataExchange& dx) override;

private:
    void OnSetStatus();
    void OnShowInfo();
};

}  // namespace tessaly
