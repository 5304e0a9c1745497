// The wxWidgets window of a template: a dialog whose controls sit where the
// template puts them, in the dialog's own dialog units, and whose events reach
// the window's handlers as commands.
#pragma once

#include <memory>

#include <wx/dialog.h>
#include <wx/iconbndl.h>

#include "ui/native_window.h"

namespace tessaly {

class CTemplateDialog;

class WxTemplateWindow final : public wxDialog, public NativeWindow {
public:
    WxTemplateWindow(const DialogTemplate& layout, WindowEvents& events);
    ~WxTemplateWindow() override;

    // The control with this id in this window, or nullptr.
    wxWindow* Control(int controlId) const;

    int ListIndex(int controlId) const override;
    void SetListIndex(int controlId, int index) override;
    std::string ListText(int controlId, int index) const override;
    int ListCount(int controlId) const override;
    void ReplaceListItems(int controlId, int keep, const std::vector<std::string>& items) override;
    void EnableControl(int controlId, bool enable) override;
    bool IsControlEnabled(int controlId) const override;
    void FocusControl(int controlId) override;
    void FocusFirstTabStop() override;
    void SetTooltip(int controlId, const std::string& text) override;
    void ShowListNote(int controlId, const std::string& note) override;
    ProgressIndicator* Progress(int controlId) override;
    int RunModal() override;
    void ShowModeless() override;
    void End(int result) override;
    bool IsModal() const override { return wxDialog::IsModal(); }
    void CentreOver(const NativeWindow& owner) override;
    void PaintNow() override { Update(); }
    void UseProgramIcon() override;
    void Post(std::function<void()> call) override { CallAfter(std::move(call)); }
    std::unique_ptr<InputHold> HoldInput() override;

private:
    class Gauge;

    void CreateControls();
    void OnInitDialogEvent(wxInitDialogEvent& event);
    void OnButton(wxCommandEvent& event);
    void OnSelection(wxCommandEvent& event);
    void OnCloseBox(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnPaint(wxPaintEvent& event);
    void PressEnter();

    const DialogTemplate& m_layout;
    WindowEvents& m_events;
    std::vector<std::unique_ptr<Gauge>> m_gauges;
    wxIconBundle m_icon;  // empty unless UseProgramIcon

    wxDECLARE_EVENT_TABLE();
};

// The toolkit's window of `window`, and one of its controls (nullptr when none
// has that id), for wxWidgets code and its tests.
WxTemplateWindow& WxWindowOf(const CTemplateDialog& window);
wxWindow* WxControl(const CTemplateDialog& window, int controlId);

}  // namespace tessaly
