// A small window for tessaly-windriver's own test: a list, a button that shows
// the chosen item in a message box captioned as Tessaly's are, a button that
// shows nothing, and a close box that ends the program with status 3.
#include <windows.h>

#include <initializer_list>

namespace {

constexpr int kList = 200;
constexpr int kShowChoice = 100;
constexpr int kNothing = 101;

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wParam) == kShowChoice && HIWORD(wParam) == BN_CLICKED) {
                wchar_t text[64] = L"";
                GetDlgItemTextW(window, kList, text, 64);
                Sleep(200);  // a transaction's worth, so that the time has something to measure
                MessageBoxW(window, text, L"tessaly", MB_OK | MB_ICONINFORMATION);
            } else if (LOWORD(wParam) == kList && HIWORD(wParam) == CBN_SELCHANGE) {
                SetWindowTextW(GetDlgItem(window, kNothing), L"chosen");
            }
            return 0;
        case WM_DESTROY:
            PostQuitMessage(3);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WNDCLASSW type{};
    type.lpfnWndProc = WindowProc;
    type.hInstance = instance;
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    type.lpszClassName = L"DrivenWindow";
    RegisterClassW(&type);
    HWND window = CreateWindowExW(0, type.lpszClassName, L"Driven window", WS_OVERLAPPEDWINDOW, 0,
                                  0, 300, 200, nullptr, nullptr, instance, nullptr);
    HWND list =
        CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 10, 150,
                        100, window, reinterpret_cast<HMENU>(kList), instance, nullptr);
    for (const wchar_t* item : {L"first", L"second", L"third"}) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    CreateWindowExW(0, L"BUTTON", L"Show", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 50, 100, 25,
                    window, reinterpret_cast<HMENU>(kShowChoice), instance, nullptr);
    CreateWindowExW(0, L"BUTTON", L"Nothing", WS_CHILD | WS_VISIBLE | WS_DISABLED, 120, 50, 100, 25,
                    window, reinterpret_cast<HMENU>(kNothing), instance, nullptr);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
