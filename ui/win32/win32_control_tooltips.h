// The tooltips of one window's controls, shown by one tooltip window that the
// window owns, and the measure that tells when a closed drop-down cuts its item.
#pragma once

#include <windows.h>

#include <string>

namespace tessaly {

class ControlTooltips {
public:
    explicit ControlTooltips(HWND dialog) : m_dialog(dialog) {}
    ControlTooltips(const ControlTooltips&) = delete;
    ControlTooltips& operator=(const ControlTooltips&) = delete;

    // The tooltip of `control`; "" removes it. An editable drop-down's box
    // takes the same tooltip, since the mouse over the box is over its edit field.
    void Set(HWND control, const std::wstring& text);
    // "" when the control has none.
    std::wstring Text(HWND control) const;

private:
    HWND Window();
    void SetOne(HWND tool, const std::wstring& text);

    HWND m_dialog;
    HWND m_tips = nullptr;  // made with the first tooltip; goes with its owner
};

// True when the closed drop-down `combo` shows only part of item `index`,
// measured with the font the box draws in.
bool ItemIsCut(HWND combo, int index);

}  // namespace tessaly
