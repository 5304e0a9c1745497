#include "ui/wx/wx_template_window.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/dcclient.h>
#include <wx/gauge.h>
#include <wx/icon.h>
#include <wx/utils.h>

#include <algorithm>
#include <vector>

#include "resources/control_ids.h"
#include "ui/enter_key.h"
#include "ui/template_dialog.h"
#include "ui/wx/accessible_label.h"
#include "ui/wx/control_factory.h"
#include "ui/wx/drop_down_style.h"
#include "ui/wx/input_hold.h"
#include "ui/wx/list_tooltip.h"
#include "ui/wx/program_icon.h"

namespace tessaly {

namespace {

wxItemContainer* AsList(wxWindow* window) {
    return dynamic_cast<wxItemContainer*>(window);
}

// The hold on input together with the busy cursor.
class WxInputHold final : public InputHold {
public:
    void Renew() override { m_hold.Renew(); }

private:
    GtkInputHold m_hold;
    wxBusyCursor m_cursor;
};

}  // namespace

class WxTemplateWindow::Gauge final : public ProgressIndicator {
public:
    explicit Gauge(wxGauge& gauge) : m_gauge(gauge) {}
    void Show(int lower, int upper, int position) override {
        m_gauge.SetRange(std::max(1, upper - lower));
        m_gauge.SetValue(position - lower);
    }
    int Id() const { return m_gauge.GetId(); }

private:
    wxGauge& m_gauge;
};

std::unique_ptr<NativeWindow> CreateNativeWindow(const DialogTemplate& layout,
                                                 WindowEvents& events) {
    return std::make_unique<WxTemplateWindow>(layout, events);
}

WxTemplateWindow& WxWindowOf(const CTemplateDialog& window) {
    // A build links one toolkit, so every native window is this one.
    return static_cast<WxTemplateWindow&>(window.Native());
}

wxWindow* WxControl(const CTemplateDialog& window, int controlId) {
    return WxWindowOf(window).Control(controlId);
}

WxTemplateWindow::WxTemplateWindow(const DialogTemplate& layout, WindowEvents& events)
    : wxDialog(nullptr, wxID_ANY, wxString::FromUTF8(layout.caption)),
      m_layout(layout),
      m_events(events) {
    // The toolkit's own cancel id is not 2; these make every way of closing the
    // window end it with our ids.
    SetEscapeId(IDCANCEL);
    SetAffirmativeId(IDOK);
    SetClientSize(ConvertDialogToPixels(wxSize(layout.width, layout.height)));
    UseSlimDropDowns();
    CreateControls();
    Centre();
}

WxTemplateWindow::~WxTemplateWindow() = default;

void WxTemplateWindow::CreateControls() {
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
        if (auto* gauge = dynamic_cast<wxGauge*>(control)) {
            m_gauges.push_back(std::make_unique<Gauge>(*gauge));
        }
    }
}

wxWindow* WxTemplateWindow::Control(int controlId) const {
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

int WxTemplateWindow::ListIndex(int controlId) const {
    wxItemContainer* list = AsList(Control(controlId));
    if (list == nullptr) {
        return -1;
    }
    const int index = list->GetSelection();
    return index < 0 ? -1 : index;
}

void WxTemplateWindow::SetListIndex(int controlId, int index) {
    if (wxItemContainer* list = AsList(Control(controlId))) {
        list->SetSelection(IsShownIndex(index, list->GetCount()) ? index : wxNOT_FOUND);
    }
}

std::string WxTemplateWindow::ListText(int controlId, int index) const {
    wxItemContainer* list = AsList(Control(controlId));
    if (list == nullptr || !IsShownIndex(index, list->GetCount())) {
        return {};
    }
    return list->GetString(static_cast<unsigned>(index)).utf8_string();
}

int WxTemplateWindow::ListCount(int controlId) const {
    wxItemContainer* list = AsList(Control(controlId));
    return list == nullptr ? 0 : static_cast<int>(list->GetCount());
}

void WxTemplateWindow::ReplaceListItems(int controlId, int keep,
                                        const std::vector<std::string>& items) {
    wxItemContainer* list = AsList(Control(controlId));
    if (list == nullptr) {
        return;
    }
    while (static_cast<int>(list->GetCount()) > std::max(keep, 0)) {
        list->Delete(list->GetCount() - 1);
    }
    for (const std::string& item : items) {
        list->Append(wxString::FromUTF8(item));
    }
}

void WxTemplateWindow::EnableControl(int controlId, bool enable) {
    if (wxWindow* control = Control(controlId)) {
        control->Enable(enable);
    }
}

bool WxTemplateWindow::IsControlEnabled(int controlId) const {
    wxWindow* control = Control(controlId);
    return control != nullptr && control->IsThisEnabled();
}

void WxTemplateWindow::FocusControl(int controlId) {
    if (wxWindow* control = Control(controlId)) {
        control->SetFocus();
    }
}

void WxTemplateWindow::FocusFirstTabStop() {
    for (wxWindow* child : GetChildren()) {
        if (child->IsThisEnabled() && child->IsShown() && child->CanAcceptFocusFromKeyboard()) {
            child->SetFocus();
            return;
        }
    }
}

void WxTemplateWindow::SetTooltip(int controlId, const std::string& text) {
    wxWindow* control = Control(controlId);
    if (control == nullptr) {
        return;
    }
    if (text.empty()) {
        control->UnsetToolTip();
    } else {
        control->SetToolTip(wxString::FromUTF8(text));
    }
}

void WxTemplateWindow::ShowListNote(int controlId, const std::string& note) {
    UpdateListTooltip(Control(controlId), note);
}

ProgressIndicator* WxTemplateWindow::Progress(int controlId) {
    for (const auto& gauge : m_gauges) {
        if (gauge->Id() == controlId) {
            return gauge.get();
        }
    }
    return nullptr;
}

int WxTemplateWindow::RunModal() {
    return ShowModal();
}

void WxTemplateWindow::ShowModeless() {
    Show();
    InitDialog();
}

void WxTemplateWindow::End(int result) {
    if (wxDialog::IsModal()) {
        EndModal(result);
    } else {
        SetReturnCode(result);
        Hide();
    }
}

void WxTemplateWindow::CentreOver(const NativeWindow& owner) {
    const wxRect area = static_cast<const WxTemplateWindow&>(owner).GetScreenRect();
    const wxSize size = GetSize();
    Move(area.x + (area.width - size.x) / 2, area.y + (area.height - size.y) / 2);
}

void WxTemplateWindow::UseProgramIcon() {
    m_icon = ProgramIcons();
    SetIcons(m_icon);
}

std::unique_ptr<InputHold> WxTemplateWindow::HoldInput() {
    return std::make_unique<WxInputHold>();
}

void WxTemplateWindow::OnInitDialogEvent(wxInitDialogEvent&) {
    m_events.OnInitialise();
}

void WxTemplateWindow::OnButton(wxCommandEvent& event) {
    m_events.OnCommand(event.GetId(), Notification::Clicked);
}

void WxTemplateWindow::OnSelection(wxCommandEvent& event) {
    m_events.OnCommand(event.GetId(), Notification::SelectionChanged);
}

void WxTemplateWindow::OnCloseBox(wxCloseEvent& event) {
    if (!event.CanVeto()) {
        event.Skip();
        return;
    }
    // The window decides: it ends, or, while a transaction runs, ends once the
    // display is left between two commands.
    event.Veto();
    m_events.OnCloseBox();
}

void WxTemplateWindow::OnCharHook(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_ESCAPE:
            m_events.OnCommand(IDCANCEL, Notification::Clicked);
            return;
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER:
            PressEnter();
            return;
        default:
            event.Skip();
    }
}

void WxTemplateWindow::PressEnter() {
    auto* button = dynamic_cast<wxButton*>(FindFocus());
    const bool onButton = button != nullptr && button->GetParent() == this;
    const int command = EnterCommand(m_layout, onButton ? button->GetId() : 0,
                                     [this](int id) { return IsControlEnabled(id); });
    if (command != 0) {
        m_events.OnCommand(command, Notification::Clicked);
    }
}

void WxTemplateWindow::OnPaint(wxPaintEvent& event) {
    if (!IsIconized() || !m_icon.IsOk()) {
        event.Skip();
        return;
    }
    wxPaintDC dc(this);
    const wxIcon icon = m_icon.GetIcon(wxSize(32, 32));
    const wxSize client = GetClientSize();
    dc.SetBackground(GetBackgroundColour());
    dc.Clear();
    dc.DrawIcon(icon, (client.x - icon.GetWidth() + 1) / 2, (client.y - icon.GetHeight() + 1) / 2);
}

// clang-format off
wxBEGIN_EVENT_TABLE(WxTemplateWindow, wxDialog)
    EVT_INIT_DIALOG(WxTemplateWindow::OnInitDialogEvent)
    EVT_BUTTON(wxID_ANY, WxTemplateWindow::OnButton)
    EVT_CHOICE(wxID_ANY, WxTemplateWindow::OnSelection)
    EVT_COMBOBOX(wxID_ANY, WxTemplateWindow::OnSelection)
    EVT_CLOSE(WxTemplateWindow::OnCloseBox)
    EVT_CHAR_HOOK(WxTemplateWindow::OnCharHook)
    EVT_PAINT(WxTemplateWindow::OnPaint)
wxEND_EVENT_TABLE()
// clang-format on

}  // namespace tessaly
