// The Win32 window of a template: a dialog made from an in-memory dialog
// template, so that its controls sit in the template's own dialog units, and
// whose notifications reach the window's handlers as commands.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "ui/native_window.h"
#include "ui/win32/win32_label_fonts.h"
#include "ui/win32/win32_posted_calls.h"

namespace tessaly {

class CTemplateDialog;
class ControlTooltips;
class ProgramIcons;

class Win32TemplateWindow final : public NativeWindow {
public:
    // Made modeless and hidden, so that its controls exist from here on.
    Win32TemplateWindow(const DialogTemplate& layout, WindowEvents& events);
    ~Win32TemplateWindow() override;
    Win32TemplateWindow(const Win32TemplateWindow&) = delete;
    Win32TemplateWindow& operator=(const Win32TemplateWindow&) = delete;

    HWND Handle() const { return m_hwnd; }
    // The control with this id in this window, or null.
    HWND Control(int controlId) const;
    // The control's tooltip as its tooltip window holds it; "" for none.
    std::wstring TooltipOf(int controlId) const;

    // The template window whose dialog is `root`, or null.
    static Win32TemplateWindow* FromHandle(HWND root);
    // Enter and Escape, before the dialog manager sees them; true when taken.
    bool TranslateKeys(const MSG& message);

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
    bool IsModal() const override { return m_modal; }
    void CentreOver(const NativeWindow& owner) override;
    void PaintNow() override;
    void UseProgramIcon() override;
    void Post(std::function<void()> call) override { m_calls.Add(std::move(call)); }
    std::unique_ptr<InputHold> HoldInput() override;

private:
    class Gauge;

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommandMessage(WPARAM wParam, LPARAM lParam);
    void FillLists();
    void InitialiseOnce();
    void PressEnter();
    HWND List(int controlId) const;
    bool IsButton(HWND control) const;

    const DialogTemplate& m_layout;
    WindowEvents& m_events;
    HWND m_hwnd = nullptr;
    PostedCalls m_calls{WM_APP + 1};
    std::vector<std::unique_ptr<Gauge>> m_gauges;
    std::unique_ptr<ControlTooltips> m_tooltips;
    std::unique_ptr<LabelFonts> m_labelFonts;  // after the window, whose labels use them
    std::unique_ptr<ProgramIcons> m_icons;     // after the window, which shows them
    bool m_initialised = false;
    bool m_modal = false;
    int m_result = 0;
};

// The toolkit's window of `window`, for Win32 code and its tests.
Win32TemplateWindow& Win32WindowOf(const CTemplateDialog& window);

}  // namespace tessaly
