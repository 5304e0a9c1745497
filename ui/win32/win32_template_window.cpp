// First: windows.h makes IDOK and IDCANCEL macros of the same values.
#include "resources/control_ids.h"

#include "ui/win32/win32_template_window.h"

#include <commctrl.h>

#include <algorithm>
#include <system_error>

#include "files/win32_utf16.h"
#include "ui/enter_key.h"
#include "ui/template_dialog.h"
#include "ui/win32/win32_control_tooltips.h"
#include "ui/win32/win32_dialog_layout.h"
#include "ui/win32/win32_input_hold.h"
#include "ui/win32/win32_message_pump.h"
#include "ui/win32/win32_program_icon.h"
#include "ui/win32/win32_session_end.h"

namespace tessaly {

namespace {

bool IsDropDown(ControlKind kind) {
    return kind == ControlKind::DropDownList || kind == ControlKind::EditableDropDown;
}

bool IsPushButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::DefaultPushButton;
}

BOOL CALLBACK CollectEnabledWindow(HWND hwnd, LPARAM list) {
    if (IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    }
    return TRUE;
}

// The thread's other visible windows that take input now, disabled for a modal run.
std::vector<HWND> DisableOtherWindows(HWND modal) {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabledWindow,
                      reinterpret_cast<LPARAM>(&windows));
    std::erase(windows, modal);
    for (HWND window : windows) {
        EnableWindow(window, FALSE);
    }
    return windows;
}

}  // namespace

class Win32TemplateWindow::Gauge final : public ProgressIndicator {
public:
    Gauge(HWND bar, int id) : m_bar(bar), m_id(id) {}
    void Show(int lower, int upper, int position) override {
        // A bar of no length would draw nothing, not an empty or a full bar.
        SendMessageW(m_bar, PBM_SETRANGE32, lower, std::max(upper, lower + 1));
        SendMessageW(m_bar, PBM_SETPOS, position, 0);
    }
    int Id() const { return m_id; }

private:
    HWND m_bar;
    int m_id;
};

std::unique_ptr<NativeWindow> CreateNativeWindow(const DialogTemplate& layout,
                                                 WindowEvents& events) {
    return std::make_unique<Win32TemplateWindow>(layout, events);
}

Win32TemplateWindow& Win32WindowOf(const CTemplateDialog& window) {
    // A build links one toolkit, so every native window is this one.
    return static_cast<Win32TemplateWindow&>(window.Native());
}

Win32TemplateWindow::Win32TemplateWindow(const DialogTemplate& layout, WindowEvents& events)
    : m_layout(layout), m_events(events) {
    const std::vector<DWORD> dialog = BuildDialogTemplate(layout);
    // WM_INITDIALOG sets m_hwnd; the window's own initialisation waits until it is shown.
    CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                               reinterpret_cast<LPCDLGTEMPLATEW>(dialog.data()), nullptr,
                               DialogProc, reinterpret_cast<LPARAM>(this));
    if (m_hwnd == nullptr) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "cannot create the window");
    }
    m_tooltips = std::make_unique<ControlTooltips>(m_hwnd);
    m_labelFonts = std::make_unique<LabelFonts>(m_hwnd);
    FillLists();
    for (const ControlTemplate& control : m_layout.controls) {
        if (control.kind == ControlKind::ProgressBar) {
            m_gauges.push_back(std::make_unique<Gauge>(Control(control.id), control.id));
        }
    }
    m_calls.Attach(m_hwnd);
}

Win32TemplateWindow::~Win32TemplateWindow() {
    m_calls.Detach();
    // Messages sent while it goes find no window object.
    SetWindowLongPtrW(m_hwnd, DWLP_USER, 0);
    DestroyWindow(m_hwnd);
}

void Win32TemplateWindow::FillLists() {
    for (const ControlTemplate& control : m_layout.controls) {
        HWND list = IsDropDown(control.kind) ? Control(control.id) : nullptr;
        if (list == nullptr) {
            continue;
        }
        for (const char* item : control.items) {
            SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
        }
        if (IsShownIndex(control.initialIndex, control.items.size())) {
            SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(control.initialIndex), 0);
        }
    }
}

Win32TemplateWindow* Win32TemplateWindow::FromHandle(HWND root) {
    if (root == nullptr ||
        GetWindowLongPtrW(root, DWLP_DLGPROC) != reinterpret_cast<LONG_PTR>(&DialogProc)) {
        return nullptr;
    }
    return reinterpret_cast<Win32TemplateWindow*>(GetWindowLongPtrW(root, DWLP_USER));
}

INT_PTR CALLBACK Win32TemplateWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<Win32TemplateWindow*>(lParam);
        self->m_hwnd = hwnd;
        SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        return FALSE;  // the focus is the window's to give when it is shown
    }
    auto* self = reinterpret_cast<Win32TemplateWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
    return self == nullptr ? FALSE : self->OnMessage(message, wParam, lParam);
}

INT_PTR Win32TemplateWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == m_calls.WakeUp()) {
        m_calls.RunPending();
        return TRUE;
    }
    switch (message) {
        case WM_COMMAND:
            OnCommandMessage(wParam, lParam);
            return TRUE;
        case WM_CLOSE:
            // The window decides: it ends, or, while a transaction runs, ends once
            // the display is left between two commands.
            m_events.OnCloseBox();
            return TRUE;
        case WM_ENDSESSION:
            // The session ends once every program has answered this: the
            // program may be stopped at any moment after, windows open or not.
            if (wParam != FALSE) {
                RunSessionEndWork();
            }
            return TRUE;
        case WM_SETCURSOR:
            if (SetHeldCursor()) {
                SetWindowLongPtrW(m_hwnd, DWLP_MSGRESULT, TRUE);
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

void Win32TemplateWindow::OnCommandMessage(WPARAM wParam, LPARAM lParam) {
    const int id = static_cast<short>(LOWORD(wParam));
    const UINT code = HIWORD(wParam);
    const ControlTemplate* control = m_layout.Find(id);
    if (control == nullptr) {
        // The dialog manager's own OK and Cancel, with no button of that id.
        if (lParam == 0 && code == 0 && (id == IDOK || id == IDCANCEL)) {
            m_events.OnCommand(id, Notification::Clicked);
        }
        return;
    }
    if (IsPushButton(control->kind) && code == BN_CLICKED) {
        m_events.OnCommand(id, Notification::Clicked);
    } else if (IsDropDown(control->kind) && code == CBN_SELCHANGE) {
        m_events.OnCommand(id, Notification::SelectionChanged);
    }
}

bool Win32TemplateWindow::TranslateKeys(const MSG& message) {
    if (message.message != WM_KEYDOWN ||
        (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE)) {
        return false;
    }
    // A dropped list closes on these keys itself.
    HWND focus = GetFocus();
    if (focus != nullptr && IsChild(m_hwnd, focus)) {
        MSG copy = message;
        const LRESULT wants =
            SendMessageW(focus, WM_GETDLGCODE, message.wParam, reinterpret_cast<LPARAM>(&copy));
        if ((wants & DLGC_WANTMESSAGE) != 0) {
            return false;
        }
    }
    if (message.wParam == VK_ESCAPE) {
        m_events.OnCommand(IDCANCEL, Notification::Clicked);
    } else {
        PressEnter();
    }
    return true;
}

void Win32TemplateWindow::PressEnter() {
    HWND focus = GetFocus();
    const bool onButton = focus != nullptr && GetParent(focus) == m_hwnd && IsButton(focus);
    const int command = EnterCommand(m_layout, onButton ? GetDlgCtrlID(focus) : 0,
                                     [this](int id) { return IsControlEnabled(id); });
    if (command != 0) {
        m_events.OnCommand(command, Notification::Clicked);
    }
}

bool Win32TemplateWindow::IsButton(HWND control) const {
    const ControlTemplate* c = m_layout.Find(GetDlgCtrlID(control));
    return c != nullptr && IsPushButton(c->kind);
}

HWND Win32TemplateWindow::Control(int controlId) const {
    // Labels share one id; the combo boxes' own parts are no children of the window.
    if (controlId == IDC_STATIC || m_layout.Find(controlId) == nullptr) {
        return nullptr;
    }
    return GetDlgItem(m_hwnd, controlId);
}

HWND Win32TemplateWindow::List(int controlId) const {
    const ControlTemplate* control = m_layout.Find(controlId);
    return control != nullptr && IsDropDown(control->kind) ? Control(controlId) : nullptr;
}

int Win32TemplateWindow::ListIndex(int controlId) const {
    HWND list = List(controlId);
    if (list == nullptr) {
        return -1;
    }
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    return index < 0 ? -1 : static_cast<int>(index);
}

void Win32TemplateWindow::SetListIndex(int controlId, int index) {
    if (HWND list = List(controlId)) {
        const bool shown = IsShownIndex(index, static_cast<std::size_t>(ListCount(controlId)));
        SendMessageW(list, CB_SETCURSEL,
                     shown ? static_cast<WPARAM>(index) : static_cast<WPARAM>(-1), 0);
    }
}

std::string Win32TemplateWindow::ListText(int controlId, int index) const {
    HWND list = List(controlId);
    if (list == nullptr || !IsShownIndex(index, static_cast<std::size_t>(ListCount(controlId)))) {
        return {};
    }
    const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Narrow(text);
}

int Win32TemplateWindow::ListCount(int controlId) const {
    HWND list = List(controlId);
    const LRESULT count = list == nullptr ? 0 : SendMessageW(list, CB_GETCOUNT, 0, 0);
    return count < 0 ? 0 : static_cast<int>(count);
}

void Win32TemplateWindow::ReplaceListItems(int controlId, int keep,
                                           const std::vector<std::string>& items) {
    HWND list = List(controlId);
    if (list == nullptr) {
        return;
    }
    for (int count = ListCount(controlId); count > std::max(keep, 0); --count) {
        SendMessageW(list, CB_DELETESTRING, static_cast<WPARAM>(count - 1), 0);
    }
    for (const std::string& item : items) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    }
}

void Win32TemplateWindow::EnableControl(int controlId, bool enable) {
    HWND control = Control(controlId);
    if (control == nullptr) {
        return;
    }
    // A disabled control that keeps the focus leaves the keyboard nowhere to go.
    HWND focus = GetFocus();
    if (!enable && (focus == control || IsChild(control, focus))) {
        SendMessageW(m_hwnd, WM_NEXTDLGCTL, 0, FALSE);
    }
    EnableWindow(control, enable ? TRUE : FALSE);
}

bool Win32TemplateWindow::IsControlEnabled(int controlId) const {
    HWND control = Control(controlId);
    return control != nullptr && IsWindowEnabled(control);
}

void Win32TemplateWindow::FocusControl(int controlId) {
    HWND control = Control(controlId);
    if (control != nullptr && IsWindowEnabled(control) && IsWindowVisible(control)) {
        // Through the dialog manager, so that the default button follows the focus.
        SendMessageW(m_hwnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
}

void Win32TemplateWindow::FocusFirstTabStop() {
    for (const ControlTemplate& control : m_layout.controls) {
        HWND hwnd = Control(control.id);
        if (hwnd != nullptr && (GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP) != 0 &&
            IsWindowEnabled(hwnd) && IsWindowVisible(hwnd)) {
            FocusControl(control.id);
            return;
        }
    }
}

void Win32TemplateWindow::SetTooltip(int controlId, const std::string& text) {
    m_tooltips->Set(Control(controlId), Widen(text));
}

std::wstring Win32TemplateWindow::TooltipOf(int controlId) const {
    HWND control = Control(controlId);
    return control == nullptr ? std::wstring() : m_tooltips->Text(control);
}

void Win32TemplateWindow::ShowListNote(int controlId, const std::string& note) {
    HWND list = List(controlId);
    if (list == nullptr) {
        return;
    }
    const int index = ListIndex(controlId);
    if (!note.empty()) {
        m_tooltips->Set(list, Widen(note));
    } else if (ItemIsCut(list, index)) {
        m_tooltips->Set(list, Widen(ListText(controlId, index)));
    } else {
        m_tooltips->Set(list, {});
    }
}

ProgressIndicator* Win32TemplateWindow::Progress(int controlId) {
    for (const auto& gauge : m_gauges) {
        if (gauge->Id() == controlId) {
            return gauge.get();
        }
    }
    return nullptr;
}

void Win32TemplateWindow::InitialiseOnce() {
    if (!m_initialised) {
        m_initialised = true;
        m_events.OnInitialise();
    }
}

int Win32TemplateWindow::RunModal() {
    if (m_modal) {
        return IDCANCEL;  // already running; a second run would never end the first
    }
    HWND previous = GetActiveWindow();
    const std::vector<HWND> disabled = DisableOtherWindows(m_hwnd);
    ShowWindow(m_hwnd, SW_SHOW);
    // After showing: the focus it gives stays once the window is active.
    InitialiseOnce();
    m_modal = true;
    m_result = IDCANCEL;
    while (m_modal) {
        MSG message;
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Ends every loop on the way out of the program.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got == -1) {
            break;
        }
        DispatchProgramMessage(message);
    }
    m_modal = false;
    for (HWND window : disabled) {
        if (IsWindow(window)) {
            EnableWindow(window, TRUE);
        }
    }
    // Back to the window that was active, before this one goes and the desktop
    // picks some other program's.
    if (previous != nullptr && previous != m_hwnd && IsWindow(previous)) {
        SetActiveWindow(previous);
    }
    ShowWindow(m_hwnd, SW_HIDE);
    return m_result;
}

void Win32TemplateWindow::ShowModeless() {
    ShowWindow(m_hwnd, SW_SHOW);
    InitialiseOnce();
}

void Win32TemplateWindow::End(int result) {
    m_result = result;
    if (m_modal) {
        m_modal = false;
        // Wakes the loop when the end comes from outside its dispatch.
        PostMessageW(m_hwnd, WM_NULL, 0, 0);
    } else {
        ShowWindow(m_hwnd, SW_HIDE);
    }
}

void Win32TemplateWindow::CentreOver(const NativeWindow& owner) {
    RECT area;
    RECT mine;
    HWND ownerWindow = static_cast<const Win32TemplateWindow&>(owner).Handle();
    if (!GetWindowRect(ownerWindow, &area) || !GetWindowRect(m_hwnd, &mine)) {
        return;
    }
    const int width = mine.right - mine.left;
    const int height = mine.bottom - mine.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    // Whole on the owner's screen, caption first, when the owner sits near an edge.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(ownerWindow, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& work = monitor.rcWork;
        x = std::max<int>(std::min<int>(x, work.right - width), work.left);
        y = std::max<int>(std::min<int>(y, work.bottom - height), work.top);
    }
    SetWindowPos(m_hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32TemplateWindow::PaintNow() {
    // The controls are windows of their own; UpdateWindow would paint the dialog alone.
    RedrawWindow(m_hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void Win32TemplateWindow::UseProgramIcon() {
    if (m_icons == nullptr) {
        m_icons = std::make_unique<ProgramIcons>();
    }
    if (m_icons->Large() != nullptr) {
        SendMessageW(m_hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icons->Large()));
    }
    if (m_icons->Small() != nullptr) {
        SendMessageW(m_hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icons->Small()));
    }
}

std::unique_ptr<InputHold> Win32TemplateWindow::HoldInput() {
    return std::make_unique<Win32InputHold>();
}

}  // namespace tessaly
