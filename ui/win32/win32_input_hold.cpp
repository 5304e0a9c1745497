#include "ui/win32/win32_input_hold.h"

#include <atomic>

namespace tessaly {

namespace {

std::atomic<int> g_holds{0};

// The system asks for the cursor again only when the mouse moves; moving it to
// where it already is makes the window under it ask now.
void RefreshCursor() {
    POINT at;
    if (GetCursorPos(&at)) {
        SetCursorPos(at.x, at.y);
    }
}

}  // namespace

Win32InputHold::Win32InputHold() {
    if (g_holds++ == 0) {
        RefreshCursor();
    }
}

Win32InputHold::~Win32InputHold() {
    if (--g_holds == 0) {
        RefreshCursor();
    }
}

bool Win32InputHold::Active() {
    return g_holds > 0;
}

bool IsOperatorInput(const MSG& input) {
    const UINT message = input.message;
    if ((message == WM_SYSKEYDOWN || message == WM_SYSKEYUP) && input.wParam == VK_F4) {
        return false;
    }
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST) {
        return true;
    }
    // Mouse moves stay: tooltips and the cursor follow them.
    if (message > WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        return true;
    }
    // Touch screens and pens in the client area, which the system turns into
    // mouse buttons when nobody handles them; their caption messages stay.
    constexpr UINT kTouch = 0x0240;
    constexpr UINT kPointerUpdate = 0x0245;
    constexpr UINT kPointerUp = 0x0247;
    constexpr UINT kPointerWheel = 0x024E;
    constexpr UINT kPointerHWheel = 0x024F;
    return message == kTouch || (message >= kPointerUpdate && message <= kPointerUp) ||
           message == kPointerWheel || message == kPointerHWheel;
}

bool SetHeldCursor() {
    if (!Win32InputHold::Active()) {
        return false;
    }
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    return true;
}

}  // namespace tessaly
