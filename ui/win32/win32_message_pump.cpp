#include "ui/win32/win32_message_pump.h"

#include "ui/win32/win32_input_hold.h"
#include "ui/win32/win32_template_window.h"

namespace tessaly {

void DispatchProgramMessage(MSG& message) {
    if (Win32InputHold::Active() && IsOperatorInput(message)) {
        return;
    }
    HWND root = message.hwnd != nullptr ? GetAncestor(message.hwnd, GA_ROOT) : nullptr;
    if (Win32TemplateWindow* window = Win32TemplateWindow::FromHandle(root)) {
        if (window->TranslateKeys(message) || IsDialogMessageW(root, &message)) {
            return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool DispatchPending() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        DispatchProgramMessage(message);
    }
    return true;
}

}  // namespace tessaly
