#include "ui/template_dialog.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/gauge.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "resources/control_ids.h"
#include "transactions/outcome_text.h"
#include "ui/accessible_label.h"
#include "ui/control_factory.h"
#include "ui/drop_down_style.h"
#include "ui/list_tooltip.h"
#include "ui/progress_bar.h"

namespace tessaly {

namespace {

wxItemContainer* AsList(wxWindow* window) {
    return dynamic_cast<wxItemContainer*>(window);
}

}  // namespace

void DataExchange::ListIndex(int controlId, std::int32_t& index) {
    if (m_saving) {
        index = m_window.GetListIndex(controlId);
    } else {
        m_window.SetListIndex(controlId, index);
    }
}

void DataExchange::Control(int controlId, ProgressBar& bar) {
    if (!bar.IsAttached()) {
        bar.Attach(dynamic_cast<wxGauge*>(m_window.Control(controlId)));
    }
}

CTemplateDialog::CTemplateDialog(const DialogTemplate& layout, wxWindow* parent,
                                 WindowServices& services)
    : wxDialog(parent, wxID_ANY, wxString::FromUTF8(layout.caption)),
      m_layout(layout),
      m_services(services) {
    // The toolkit's own cancel id is not 2; these make every way of closing the
    // window end it with our ids.
    SetEscapeId(IDCANCEL);
    SetAffirmativeId(IDOK);
    SetClientSize(ConvertDialogToPixels(wxSize(layout.width, layout.height)));
    UseSlimDropDowns();
    CreateControls();
    Centre();
}

void CTemplateDialog::CentreOver(const wxWindow& owner) {
    const wxRect area = owner.GetScreenRect();
    const wxSize size = GetSize();
    Move(area.x + (area.width - size.x) / 2, area.y + (area.height - size.y) / 2);
}

void CTemplateDialog::CreateControls() {
    // Each label is made just before the control it names, which is how the
    // desktop pairs them for screen readers; labels take no focus, so the tab
    // order stays the template's.
    const auto controls = m_layout.controls;
    std::vector<const ControlTemplate*> labels(controls.size(), nullptr);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        labels[i] = LabelOf(controls, i);
    }
    auto isPairedLabel = [&](const ControlTemplate& c) {
        return std::find(labels.begin(), labels.end(), &c) != labels.end();
    };
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (isPairedLabel(controls[i])) {
            continue;
        }
        wxWindow* label = labels[i] != nullptr ? CreateControl(*this, *labels[i]) : nullptr;
        wxWindow* control = CreateControl(*this, controls[i]);
        if (label != nullptr) {
            CentreLabelOn(*label, *control);
            NameControlByLabel(*label, *control);
        }
    }
}

wxWindow* CTemplateDialog::Control(int controlId) const {
    if (controlId == IDC_STATIC || m_layout.Find(controlId) == nullptr) {
        return nullptr;
    }
    for (wxWindow* child : GetChildren()) {
        if (child->GetId() == controlId) {
            return child;
        }
    }
    return nullptr;
}

int CTemplateDialog::GetListIndex(int controlId) const {
    wxItemContainer* list = AsList(Control(controlId));
    if (list == nullptr) {
        return -1;
    }
    const int index = list->GetSelection();
    return index < 0 ? -1 : index;
}

void CTemplateDialog::SetListIndex(int controlId, int index) {
    wxItemContainer* list = AsList(Control(controlId));
    if (list == nullptr) {
        return;
    }
    list->SetSelection(IsShownIndex(index, list->GetCount()) ? index : wxNOT_FOUND);
    UpdateListTooltip(Control(controlId));
}

std::string CTemplateDialog::GetListText(int controlId, int index) const {
    wxItemContainer* list = AsList(Control(controlId));
    if (list == nullptr || !IsShownIndex(index, list->GetCount())) {
        return {};
    }
    return list->GetString(static_cast<unsigned>(index)).utf8_string();
}

int CTemplateDialog::GetListCount(int controlId) const {
    wxItemContainer* list = AsList(Control(controlId));
    return list == nullptr ? 0 : static_cast<int>(list->GetCount());
}

void CTemplateDialog::EnableControl(int controlId, bool enable) {
    if (wxWindow* control = Control(controlId)) {
        control->Enable(enable);
    }
}

bool CTemplateDialog::IsControlEnabled(int controlId) const {
    wxWindow* control = Control(controlId);
    return control != nullptr && control->IsThisEnabled();
}

bool CTemplateDialog::UpdateData(bool saving) {
    DataExchange dx(*this, saving);
    DoDataExchange(dx);
    return true;
}

void CTemplateDialog::EndDialog(int result) {
    if (IsModal()) {
        EndModal(result);
    } else {
        SetReturnCode(result);
        Hide();
    }
}

void CTemplateDialog::SendCommand(int controlId) {
    wxCommandEvent command(wxEVT_BUTTON, controlId);
    command.SetEventObject(Control(controlId) != nullptr ? Control(controlId) : this);
    ProcessWindowEvent(command);
}

void CTemplateDialog::RequestEnd(int result) {
    if (!TransactionRunning()) {
        EndDialog(result);
        return;
    }
    m_pendingEnd = result;
    m_transaction.RequestStop();
}

bool CTemplateDialog::RunSend(std::function<bool()> send, const char* failedText) {
    auto sent = std::make_shared<bool>(true);
    return RunTransaction(
        nullptr, [send = std::move(send), sent](BackgroundHost&) { *sent = send(); },
        [this, sent, failedText] {
            if (!*sent && !EndRequested()) {
                Services().ShowMessage(this, failedText, MessageIcon::Exclamation);
            }
        });
}

bool CTemplateDialog::RunTransaction(ProgressBar* bar, BackgroundTransaction::Work work,
                                     std::function<void()> done) {
    return m_transaction.Start(bar, std::move(work), [this, done = std::move(done)] {
        if (done) {
            done();
        }
        OnTransactionEnded();
        if (m_pendingEnd) {
            EndDialog(*m_pendingEnd);
        }
    });
}

bool CTemplateDialog::TryBefore(wxEvent& event) {
    // The desktop's input is held back while a transaction runs; commands that
    // reach the window some other way are refused too.
    if (TransactionRunning()) {
        const wxEventType type = event.GetEventType();
        if (type == wxEVT_BUTTON || type == wxEVT_CHOICE || type == wxEVT_COMBOBOX ||
            type == wxEVT_CHAR_HOOK) {
            return true;
        }
    }
    if (event.GetEventType() == wxEVT_CHOICE) {
        UpdateListTooltip(dynamic_cast<wxWindow*>(event.GetEventObject()));
    }
    return wxDialog::TryBefore(event);
}

void CTemplateDialog::DoDataExchange(DataExchange&) {}

void CTemplateDialog::OnInitDialog() {
    UpdateData(false);
    FocusFirstTabStop();
}

void CTemplateDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CTemplateDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CTemplateDialog::FocusFirstTabStop() {
    for (wxWindow* child : GetChildren()) {
        if (child->IsThisEnabled() && child->IsShown() && child->CanAcceptFocusFromKeyboard()) {
            child->SetFocus();
            return;
        }
    }
}

void CTemplateDialog::OnInitDialogEvent(wxInitDialogEvent&) {
    OnInitDialog();
}

void CTemplateDialog::OnOkCommand(wxCommandEvent&) {
    OnOK();
}

void CTemplateDialog::OnCancelCommand(wxCommandEvent&) {
    OnCancel();
}

void CTemplateDialog::OnCloseBox(wxCloseEvent& event) {
    if (TransactionRunning()) {
        // The window closes once the display is left between two commands.
        RequestEnd(IDCANCEL);
        event.Veto();
        return;
    }
    if (IsModal()) {
        SendCommand(IDCANCEL);
    } else {
        event.Skip();
    }
}

void CTemplateDialog::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            SendCommand(IDCANCEL);
            return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            PressEnter();
            return;
        default:
            event.Skip();
    }
}

void CTemplateDialog::PressEnter() {
    // The focused button answers Enter; otherwise the default button, unless it is
    // disabled; a window without a default button takes Enter as OK.
    wxWindow* focus = FindFocus();
    if (auto* button = dynamic_cast<wxButton*>(focus);
        button != nullptr && button->GetParent() == this) {
        if (button->IsEnabled()) {
            SendCommand(button->GetId());
        }
        return;
    }
    for (const ControlTemplate& control : m_layout.controls) {
        if (control.kind == ControlKind::DefaultPushButton) {
            if (IsControlEnabled(control.id)) {
                SendCommand(control.id);
            }
            return;
        }
    }
    SendCommand(IDOK);
}

// clang-format off
wxBEGIN_EVENT_TABLE(CTemplateDialog, wxDialog)
    EVT_INIT_DIALOG(CTemplateDialog::OnInitDialogEvent)
    EVT_BUTTON(IDOK, CTemplateDialog::OnOkCommand)
    EVT_BUTTON(IDCANCEL, CTemplateDialog::OnCancelCommand)
    EVT_CLOSE(CTemplateDialog::OnCloseBox)
    EVT_CHAR_HOOK(CTemplateDialog::OnCharHook)
wxEND_EVENT_TABLE()
// clang-format on

}  // namespace tessaly
