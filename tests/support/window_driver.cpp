#include "tests/support/window_driver.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/timer.h>

#include <gtk/gtk.h>

#include <chrono>
#include <thread>

namespace tessaly::testing {

namespace {

::testing::AssertionResult Usable(CTemplateDialog& window, int id, wxWindow*& control) {
    control = window.Control(id);
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
    window.Show();
    window.InitDialog();
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

bool FinishTransaction(CTemplateDialog& window, int boundMs) {
    return RunWindowThreadUntil([&] { return !window.TransactionRunning(); }, boundMs);
}

::testing::AssertionResult Click(CTemplateDialog& window, int buttonId) {
    auto clicked = StartClick(window, buttonId);
    if (clicked && !FinishTransaction(window)) {
        return ::testing::AssertionFailure() << "the transaction of " << buttonId << " never ended";
    }
    return clicked;
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

void PressKey(CTemplateDialog& window, int keyCode) {
    wxKeyEvent key(wxEVT_CHAR_HOOK);
    key.m_keyCode = keyCode;
    key.SetEventObject(&window);
    window.ProcessWindowEvent(key);
}

wxWindow* FocusedControl(CTemplateDialog& window) {
    wxWindow* focus = wxWindow::FindFocus();
    return (focus != nullptr && focus->GetParent() == &window) ? focus : nullptr;
}

int RunModal(CTemplateDialog& window, const std::function<void()>& steps) {
    window.CallAfter([&window, steps] {
        steps();
        if (window.IsModal()) {
            window.EndModal(kLeftOpen);
        }
    });
    return window.ShowModal();
}

}  // namespace tessaly::testing
