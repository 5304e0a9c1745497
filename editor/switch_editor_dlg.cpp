#include "editor/switch_editor_dlg.h"

#include <array>
#include <string>

#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "ui/list_tooltip.h"

namespace tessaly {

CSwitchEditorDlg::CSwitchEditorDlg(WindowServices& services)
    : CTemplateDialog(kSwitchEditorTemplate, nullptr, services) {}

void CSwitchEditorDlg::DoDataExchange(DataExchange& dx) {
    dx.Control(IDC_PROGRESS, m_progress);
    dx.ListIndex(IDC_CODE_TABLE, m_codeTable);
    dx.ListIndex(IDC_INTL_SET, m_intlSet);
    dx.ListIndex(IDC_BRIGHTNESS, m_brightness);
    dx.ListIndex(IDC_CURSOR_MODE, m_cursorMode);
    dx.ListIndex(IDC_PERIPHERAL, m_peripheral);
}

void CSwitchEditorDlg::OnInitDialog() {
    // The lists are disabled, so the focus lands on "Get Status".
    CTemplateDialog::OnInitDialog();
    m_grid.Clear();
    m_progress.SetRange(0, 100);
    m_progress.SetStep(4);
}

void CSwitchEditorDlg::EnableControls(int flag) {
    if (flag == 0) {
        return;
    }
    constexpr std::array kEditing{IDC_SET_STATUS, IDC_SAVE_STATUS, IDC_CODE_TABLE, IDC_INTL_SET,
                                  IDC_BRIGHTNESS, IDC_PERIPHERAL,  IDC_CURSOR_MODE};
    for (int id : kEditing) {
        EnableControl(id, true);
    }
}

void CSwitchEditorDlg::SetIndices(const SettingIndices& indices) {
    m_codeTable = indices.codeTable;
    m_intlSet = indices.intlSet;
    m_brightness = indices.brightness;
    m_peripheral = indices.peripheral;
    m_cursorMode = indices.cursorMode;
}

void CSwitchEditorDlg::ShowGrid(const char* holder) {
    SetIndices(DeriveIndices(m_grid));
    UpdateData(false);
    const std::array<std::int32_t, 5> held = HeldValues(m_grid);
    const std::array<int, 5> lists{IDC_CODE_TABLE, IDC_INTL_SET, IDC_BRIGHTNESS, IDC_PERIPHERAL,
                                   IDC_CURSOR_MODE};
    for (std::size_t i = 0; i < lists.size(); ++i) {
        if (GetListIndex(lists[i]) < 0) {
            UpdateListTooltip(Control(lists[i]), std::string("The ") + holder + " holds " +
                                                     std::to_string(held[i]) +
                                                     ", which is not an item of this list");
        }
    }
}

void CSwitchEditorDlg::ApplyChoice(void (*apply)(SwitchGrid&, std::int32_t),
                                   const std::int32_t& index) {
    // A list that shows nothing because its bits name no item reads back as -1;
    // only the list that changed is applied, so those bits stay as they are.
    UpdateData(true);
    apply(m_grid, index);
    UpdateData(false);
}

void CSwitchEditorDlg::OnSelChangeCodeTable(wxCommandEvent&) {
    ApplyChoice(ApplyCodeTable, m_codeTable);
}

void CSwitchEditorDlg::OnSelChangeIntlSet(wxCommandEvent&) {
    ApplyChoice(ApplyIntlSet, m_intlSet);
}

void CSwitchEditorDlg::OnSelChangeBrightness(wxCommandEvent&) {
    ApplyChoice(ApplyBrightness, m_brightness);
}

void CSwitchEditorDlg::OnSelChangePeripheral(wxCommandEvent&) {
    ApplyChoice(ApplyPeripheral, m_peripheral);
}

void CSwitchEditorDlg::OnSelChangeCursorMode(wxCommandEvent&) {
    ApplyChoice(ApplyCursorMode, m_cursorMode);
}

void CSwitchEditorDlg::OnExit(wxCommandEvent&) {
    OnCancel();
}

// clang-format off
wxBEGIN_EVENT_TABLE(CSwitchEditorDlg, CTemplateDialog)
    EVT_BUTTON(IDC_GET_STATUS, CSwitchEditorDlg::OnGetStatus)
    EVT_BUTTON(IDC_SET_STATUS, CSwitchEditorDlg::OnSetStatus)
    EVT_CHOICE(IDC_CODE_TABLE, CSwitchEditorDlg::OnSelChangeCodeTable)
    EVT_CHOICE(IDC_INTL_SET, CSwitchEditorDlg::OnSelChangeIntlSet)
    EVT_CHOICE(IDC_BRIGHTNESS, CSwitchEditorDlg::OnSelChangeBrightness)
    EVT_CHOICE(IDC_PERIPHERAL, CSwitchEditorDlg::OnSelChangePeripheral)
    EVT_CHOICE(IDC_CURSOR_MODE, CSwitchEditorDlg::OnSelChangeCursorMode)
    EVT_BUTTON(IDC_SAVE_STATUS, CSwitchEditorDlg::OnSaveStatus)
    EVT_BUTTON(IDC_LOAD_STATUS, CSwitchEditorDlg::OnLoadStatus)
    EVT_BUTTON(IDC_EXIT, CSwitchEditorDlg::OnExit)
wxEND_EVENT_TABLE()
// clang-format on

}  // namespace tessaly
