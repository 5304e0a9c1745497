#include "editor/switch_editor_dlg.h"

#include <array>
#include <string>

#include "resources/control_ids.h"
#include "resources/dialog_template.h"

namespace tessaly {

CSwitchEditorDlg::CSwitchEditorDlg(WindowServices& services)
    : CTemplateDialog(kSwitchEditorTemplate, services) {
    static constexpr CommandHandler<CSwitchEditorDlg> kHandlers[] = {
        {Notification::Clicked, IDC_GET_STATUS, &CSwitchEditorDlg::OnGetStatus},
        {Notification::Clicked, IDC_SET_STATUS, &CSwitchEditorDlg::OnSetStatus},
        {Notification::SelectionChanged, IDC_CODE_TABLE, &CSwitchEditorDlg::OnSelChangeCodeTable},
        {Notification::SelectionChanged, IDC_INTL_SET, &CSwitchEditorDlg::OnSelChangeIntlSet},
        {Notification::SelectionChanged, IDC_BRIGHTNESS, &CSwitchEditorDlg::OnSelChangeBrightness},
        {Notification::SelectionChanged, IDC_PERIPHERAL, &CSwitchEditorDlg::OnSelChangePeripheral},
        {Notification::SelectionChanged, IDC_CURSOR_MODE, &CSwitchEditorDlg::OnSelChangeCursorMode},
        {Notification::Clicked, IDC_SAVE_STATUS, &CSwitchEditorDlg::OnSaveStatus},
        {Notification::Clicked, IDC_LOAD_STATUS, &CSwitchEditorDlg::OnLoadStatus},
        {Notification::Clicked, IDC_EXIT, &CSwitchEditorDlg::OnExit},
    };
    BindHandlers(this, kHandlers);
}

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
            ShowListNote(lists[i], std::string("The ") + holder + " holds " +
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

void CSwitchEditorDlg::OnSelChangeCodeTable() {
    ApplyChoice(ApplyCodeTable, m_codeTable);
}

void CSwitchEditorDlg::OnSelChangeIntlSet() {
    ApplyChoice(ApplyIntlSet, m_intlSet);
}

void CSwitchEditorDlg::OnSelChangeBrightness() {
    ApplyChoice(ApplyBrightness, m_brightness);
}

void CSwitchEditorDlg::OnSelChangePeripheral() {
    ApplyChoice(ApplyPeripheral, m_peripheral);
}

void CSwitchEditorDlg::OnSelChangeCursorMode() {
    ApplyChoice(ApplyCursorMode, m_cursorMode);
}

void CSwitchEditorDlg::OnExit() {
    OnCancel();
}

}  // namespace tessaly
