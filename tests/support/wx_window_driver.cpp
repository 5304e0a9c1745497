#include "tests/support/window_driver.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/tooltip.h>

#include <gtk/gtk.h>

#include <chrono>
#include <thread>

#include "ui/wx/wx_template_window.h"

namespace tessaly::testing {

namespace {

::testing::AssertionResult Usable(CTemplateDialog& window, int id, wxWindow*& control) {
    control = WxControl(window, id);
    if (control == nullptr) {
        return ::testing::AssertionFailure() << "no control " << id << " in this window";
    }
    if (!control->IsEnabled()) {
        return ::testing::AssertionFailure() << "control " << id << " is disabled";
    }
    if (!control->IsShownOnScreen()) {
        return ::testing::AssertionFailure() << "control " << id << " is not shown";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace

void ShowForTest(CTemplateDialog& window) {
    window.Native().ShowModeless();
    PumpEvents();
}

void PumpEvents() {
    for (int i = 0; i < 3; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxYield();
    }
}

bool RunWindowThreadUntil(const std::function<bool()>& condition, int boundMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        // Not wxYield: the toolkit's yield puts its own event dispatcher back
        // and would let held-back input through.
        wxTheApp->ProcessPendingEvents();
        while (gtk_events_pending()) {
            gtk_main_iteration_do(FALSE);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

::testing::AssertionResult StartClick(CTemplateDialog& window, int buttonId) {
    wxWindow* control = nullptr;
    if (auto usable = Usable(window, buttonId, control); !usable) {
        return usable;
    }
    auto* button = dynamic_cast<wxButton*>(control);
    if (button == nullptr) {
        return ::testing::AssertionFailure() << "control " << buttonId << " is not a button";
    }
    wxCommandEvent click(wxEVT_BUTTON, buttonId);
    click.SetEventObject(button);
    button->ProcessWindowEvent(click);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Select(CTemplateDialog& window, int listId, int index) {
    wxWindow* control = nullptr;
    if (auto usable = Usable(window, listId, control); !usable) {
        return usable;
    }
    auto* list = dynamic_cast<wxChoice*>(control);  // wxComboBox is one too on GTK
    if (list == nullptr || index < 0 || static_cast<unsigned>(index) >= list->GetCount()) {
        return ::testing::AssertionFailure() << "no item " << index << " in list " << listId;
    }
    list->SetSelection(index);
    const bool editable = dynamic_cast<wxComboBox*>(control) != nullptr;
    wxCommandEvent changed(editable ? wxEVT_COMBOBOX : wxEVT_CHOICE, listId);
    changed.SetEventObject(list);
    changed.SetInt(index);
    changed.SetString(list->GetString(static_cast<unsigned>(index)));
    list->ProcessWindowEvent(changed);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult TypeText(CTemplateDialog& window, int boxId, const std::string& text) {
    wxWindow* control = nullptr;
    if (auto usable = Usable(window, boxId, control); !usable) {
        return usable;
    }
    auto* box = dynamic_cast<wxComboBox*>(control);
    if (box == nullptr) {
        return ::testing::AssertionFailure() << "control " << boxId << " takes no typing";
    }
    // Typing replaces the text key by key; setting the same text again in one go
    // would change nothing in the box.
    box->SetValue(wxString());
    box->AppendText(wxString::FromUTF8(text));
    return ::testing::AssertionSuccess();
}

void PressKey(CTemplateDialog& window, Key key) {
    wxKeyEvent event(wxEVT_CHAR_HOOK);
    event.m_keyCode = key == Key::Escape ? WXK_ESCAPE : WXK_RETURN;
    WxTemplateWindow& dialog = WxWindowOf(window);
    event.SetEventObject(&dialog);
    dialog.ProcessWindowEvent(event);
}

void PressCloseBox(CTemplateDialog& window) {
    WxWindowOf(window).Close();
}

bool IsShownOnScreen(CTemplateDialog& window) {
    return WxWindowOf(window).IsShown();
}

int FocusedControl(CTemplateDialog& window) {
    wxWindow* focus = wxWindow::FindFocus();
    return (focus != nullptr && focus->GetParent() == &WxWindowOf(window)) ? focus->GetId() : 0;
}

void FocusOn(CTemplateDialog& window, int controlId) {
    if (wxWindow* control = WxControl(window, controlId)) {
        control->SetFocus();
    }
}

int GaugeValue(CTemplateDialog& window, int gaugeId) {
    auto* gauge = dynamic_cast<wxGauge*>(WxControl(window, gaugeId));
    return gauge == nullptr ? -1 : gauge->GetValue();
}

int GaugeRange(CTemplateDialog& window, int gaugeId) {
    auto* gauge = dynamic_cast<wxGauge*>(WxControl(window, gaugeId));
    return gauge == nullptr ? -1 : gauge->GetRange();
}

std::string TooltipText(CTemplateDialog& window, int controlId) {
    wxWindow* control = WxControl(window, controlId);
    const wxToolTip* tip = control == nullptr ? nullptr : control->GetToolTip();
    return tip == nullptr ? std::string() : tip->GetTip().utf8_string();
}

int RunModal(CTemplateDialog& window, const std::function<void()>& steps) {
    window.Post([&window, steps] {
        steps();
        if (window.Native().IsModal()) {
            window.EndDialog(kLeftOpen);
        }
    });
    return window.ShowModal();
}

}  // namespace tessaly::testing
