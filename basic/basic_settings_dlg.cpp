#include "basic/basic_settings_dlg.h"

#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "switches/setting_mapping.h"
#include "transactions/outcome_text.h"
#include "transactions/transactions.h"

namespace tessaly {

CBasicSettingsDlg::CBasicSettingsDlg(WindowServices& services)
    : CTemplateDialog(kBasicSettingsTemplate, services) {
    static constexpr CommandHandler<CBasicSettingsDlg> kHandlers[] = {
        {Notification::Clicked, IDC_SET_STATUS, &CBasicSettingsDlg::OnSetStatus},
        {Notification::Clicked, IDC_SHOW_INFO, &CBasicSettingsDlg::OnShowInfo},
    };
    BindHandlers(this, kHandlers);
}

void CBasicSettingsDlg::DoDataExchange(DataExchange& dx) {
    dx.ListIndex(IDC_CODE_TABLE, m_codeTable);
    dx.ListIndex(IDC_INTL_SET, m_intlSet);
}

void CBasicSettingsDlg::OnSetStatus() {
    UpdateData(true);
    // The window reports nothing, so a missing link sends nothing and says nothing.
    if (m_pLink == nullptr) {
        return;
    }
    // No selection sends the first code table, as an index past the table would.
    RunSend([link = m_pLink, codeTable = CodeTableValue(m_codeTable),
             intlSet = m_intlSet] { return SendBasicSettings(*link, codeTable, intlSet); },
            kWriteFailedText);
}

void CBasicSettingsDlg::OnShowInfo() {
    if (m_pLink == nullptr) {
        return;
    }
    RunSend([link = m_pLink] { return ShowInformation(*link); }, kSendFailedText);
}

}  // namespace tessaly
