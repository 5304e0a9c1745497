#include <windows.h>
// After windows.h.
#include <commctrl.h>

#include <cstdio>
#include <utility>

#include "ui/toolkit.h"
#include "ui/win32/win32_posted_calls.h"
#include "ui/win32/win32_session_end.h"
#include "ui/win32/win32_toolkit_session.h"
#include "ui/win32/win32_window_services.h"

namespace tessaly {

namespace {

constexpr wchar_t kCallsClass[] = L"TessalyToolkitCalls";

PostedCalls& ToolkitCalls() {
    static PostedCalls calls(WM_APP + 2);
    return calls;
}

LRESULT CALLBACK CallsWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == ToolkitCalls().WakeUp()) {
        ToolkitCalls().RunPending();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Sharp text at any scale on every screen, when the program's manifest has not
// said so already. Windows before 10 (1703) and wine may not know the per-screen
// kind; the whole desktop's scale is the next best.
void UseDesktopScale() {
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    FARPROC found =
        user32 != nullptr ? GetProcAddress(user32, "SetProcessDpiAwarenessContext") : nullptr;
    if (found != nullptr) {
        auto set = reinterpret_cast<SetContext>(reinterpret_cast<void (*)()>(found));
        if (set(perMonitorV2) || GetLastError() == ERROR_ACCESS_DENIED) {
            return;  // set now, or set before by the manifest
        }
    }
    SetProcessDPIAware();
}

// Made and dropped at once: a program that cannot make a top-level window has
// no desktop to show its windows on.
bool DesktopReachable() {
    HWND probe = CreateWindowExW(0, L"STATIC", nullptr, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr) {
        return false;
    }
    DestroyWindow(probe);
    return true;
}

}  // namespace

ToolkitSession::ToolkitSession() {
    UseDesktopScale();
    INITCOMMONCONTROLSEX controls{sizeof controls,
                                  ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    if (!InitCommonControlsEx(&controls) || !DesktopReachable()) {
        return;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = CallsWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kCallsClass;
    RegisterClassExW(&windowClass);
    // A message-only window: never shown, no broadcasts, only what is posted to it.
    m_calls = CreateWindowExW(0, kCallsClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (m_calls != nullptr) {
        ToolkitCalls().Attach(m_calls);
    }
}

ToolkitSession::~ToolkitSession() {
    if (m_calls != nullptr) {
        ToolkitCalls().Detach();
        DestroyWindow(m_calls);
        UnregisterClassW(kCallsClass, GetModuleHandleW(nullptr));
    }
}

int RunWithToolkit(char** argv, const char* program, const std::function<int()>& run) {
    (void)argv;  // the program's arguments mean nothing to the toolkit here
    ToolkitSession session;
    if (!session.Started()) {
        std::fprintf(stderr, "%s: cannot reach the desktop\n", program);
        return 1;
    }
    return run();
}

void CallOnToolkitThread(std::function<void()> call) {
    ToolkitCalls().Add(std::move(call));
}

void OnSessionEnd(std::function<void()> last) {
    SetSessionEndWork(std::move(last));
}

std::unique_ptr<WindowServices> CreateDesktopServices() {
    return std::make_unique<Win32WindowServices>();
}

}  // namespace tessaly
