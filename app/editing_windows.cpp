#include "app/editing_windows.h"

#include "basic/basic_settings_dlg.h"
#include "editor/switch_editor_dlg.h"

namespace tessaly {

std::unique_ptr<CTemplateDialog> CreateEditingWindow(EmulationMode mode, CSerialLink* link,
                                                     WindowServices& services) {
    if (mode == kEscPos) {
        auto editor = std::make_unique<CSwitchEditorDlg>(services);
        editor->m_pLink = link;
        return editor;
    }
    auto basic = std::make_unique<CBasicSettingsDlg>(services);
    basic->m_pLink = link;
    return basic;
}

}  // namespace tessaly
