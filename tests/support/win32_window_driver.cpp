#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <chrono>

#include "files/win32_utf16.h"
#include "tests/support/window_driver.h"
#include "ui/win32/win32_message_pump.h"
#include "ui/win32/win32_template_window.h"

namespace tessaly::testing {

namespace {

HWND DialogOf(CTemplateDialog& window) {
    return Win32WindowOf(window).Handle();
}

std::wstring ClassOf(HWND control) {
    wchar_t name[64] = {};
    GetClassNameW(control, name, 64);
    return name;
}

LONG StyleOf(HWND control) {
    return GetWindowLongW(control, GWL_STYLE);
}

::testing::AssertionResult Usable(CTemplateDialog& window, int id, HWND& control) {
    control = Win32WindowOf(window).Control(id);
    if (control == nullptr) {
        return ::testing::AssertionFailure() << "no control " << id << " in this window";
    }
    if (!IsWindowEnabled(control)) {
        return ::testing::AssertionFailure() << "control " << id << " is disabled";
    }
    if (!IsWindowVisible(control)) {
        return ::testing::AssertionFailure() << "control " << id << " is not shown";
    }
    return ::testing::AssertionSuccess();
}

bool IsComboBox(HWND control) {
    return _wcsicmp(ClassOf(control).c_str(), WC_COMBOBOXW) == 0;
}

// The window's control that holds `hwnd`: a combo box's edit field is its box's.
HWND ControlHolding(HWND dialog, HWND hwnd) {
    while (hwnd != nullptr && GetParent(hwnd) != dialog) {
        hwnd = GetParent(hwnd);
    }
    return hwnd;
}

}  // namespace

void ShowForTest(CTemplateDialog& window) {
    window.Native().ShowModeless();
    PumpEvents();
}

void PumpEvents() {
    for (int i = 0; i < 3; ++i) {
        DispatchPending();
    }
}

// One message at a time, the condition checked after each: a worker that keeps
// posting its progress keeps the queue from running dry, so a pump that empties
// it first would see the window only as the worker left it.
bool RunWindowThreadUntil(const std::function<bool()>& condition, int boundMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(boundMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
            } else {
                DispatchProgramMessage(message);
                continue;
            }
        }
        // Until a message arrives or 1 ms has passed: the condition may change on another thread.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    return true;
}

::testing::AssertionResult StartClick(CTemplateDialog& window, int buttonId) {
    HWND control = nullptr;
    if (auto usable = Usable(window, buttonId, control); !usable) {
        return usable;
    }
    const LONG kind = StyleOf(control) & BS_TYPEMASK;
    if (_wcsicmp(ClassOf(control).c_str(), WC_BUTTONW) != 0 ||
        (kind != BS_PUSHBUTTON && kind != BS_DEFPUSHBUTTON)) {
        return ::testing::AssertionFailure() << "control " << buttonId << " is not a button";
    }
    SendMessageW(control, BM_CLICK, 0, 0);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Select(CTemplateDialog& window, int listId, int index) {
    HWND control = nullptr;
    if (auto usable = Usable(window, listId, control); !usable) {
        return usable;
    }
    const LRESULT count = IsComboBox(control) ? SendMessageW(control, CB_GETCOUNT, 0, 0) : 0;
    if (index < 0 || index >= count) {
        return ::testing::AssertionFailure() << "no item " << index << " in list " << listId;
    }
    SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(DialogOf(window), WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(control));
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult TypeText(CTemplateDialog& window, int boxId, const std::string& text) {
    HWND control = nullptr;
    if (auto usable = Usable(window, boxId, control); !usable) {
        return usable;
    }
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!IsComboBox(control) || (StyleOf(control) & 3) != CBS_DROPDOWN ||
        !GetComboBoxInfo(control, &info)) {
        return ::testing::AssertionFailure() << "control " << boxId << " takes no typing";
    }
    // Key by key into the box's edit field, over the whole of its old text.
    SendMessageW(info.hwndItem, EM_SETSEL, 0, -1);
    if (text.empty()) {
        SendMessageW(info.hwndItem, WM_CHAR, VK_BACK, 0);
    }
    for (wchar_t c : Widen(text)) {
        SendMessageW(info.hwndItem, WM_CHAR, c, 0);
    }
    return ::testing::AssertionSuccess();
}

void PressKey(CTemplateDialog& window, Key key) {
    // Through the program's loop to the control with the focus, as the keyboard sends it.
    HWND dialog = DialogOf(window);
    HWND focus = GetFocus();
    HWND target = (focus != nullptr && IsChild(dialog, focus)) ? focus : dialog;
    const WPARAM code = key == Key::Escape ? VK_ESCAPE : VK_RETURN;
    PostMessageW(target, WM_KEYDOWN, code, 1);
    PostMessageW(target, WM_KEYUP, code, 1 | (1u << 30) | (1u << 31));
    PumpEvents();
}

int FocusedControl(CTemplateDialog& window) {
    HWND dialog = DialogOf(window);
    HWND focus = GetFocus();
    if (focus == nullptr || !IsChild(dialog, focus)) {
        return 0;
    }
    return GetDlgCtrlID(ControlHolding(dialog, focus));
}

void FocusOn(CTemplateDialog& window, int controlId) {
    window.Native().FocusControl(controlId);
    PumpEvents();
}

int GaugeValue(CTemplateDialog& window, int gaugeId) {
    HWND control = Win32WindowOf(window).Control(gaugeId);
    if (control == nullptr || _wcsicmp(ClassOf(control).c_str(), PROGRESS_CLASSW) != 0) {
        return -1;
    }
    const int lower = static_cast<int>(SendMessageW(control, PBM_GETRANGE, TRUE, 0));
    return static_cast<int>(SendMessageW(control, PBM_GETPOS, 0, 0)) - lower;
}

int GaugeRange(CTemplateDialog& window, int gaugeId) {
    HWND control = Win32WindowOf(window).Control(gaugeId);
    if (control == nullptr || _wcsicmp(ClassOf(control).c_str(), PROGRESS_CLASSW) != 0) {
        return -1;
    }
    PBRANGE range{};
    SendMessageW(control, PBM_GETRANGE, TRUE, reinterpret_cast<LPARAM>(&range));
    return range.iHigh - range.iLow;
}

void PressCloseBox(CTemplateDialog& window) {
    // As the window manager's close box reaches the window: through its queue.
    PostMessageW(DialogOf(window), WM_CLOSE, 0, 0);
    PumpEvents();
}

bool IsShownOnScreen(CTemplateDialog& window) {
    return IsWindowVisible(DialogOf(window)) != FALSE;
}

std::string TooltipText(CTemplateDialog& window, int controlId) {
    return Narrow(Win32WindowOf(window).TooltipOf(controlId));
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
