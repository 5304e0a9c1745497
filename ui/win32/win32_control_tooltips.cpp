#include "ui/win32/win32_control_tooltips.h"

#include <commctrl.h>

#include <vector>

namespace tessaly {

namespace {

// Widest tooltip before it wraps, in dialog units of the owner (so at its scale).
constexpr int kTipWidthUnits = 250;

// The size common controls 5 know; version 6 takes it too.
TOOLINFOW ToolOf(HWND dialog, HWND tool) {
    TOOLINFOW info{};
    info.cbSize = TTTOOLINFOW_V2_SIZE;
    info.uFlags = TTF_SUBCLASS | TTF_IDISHWND;
    info.hwnd = dialog;
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    return info;
}

bool HasTool(HWND tips, TOOLINFOW info) {
    info.lpszText = nullptr;  // or the call copies the text into it
    return tips != nullptr &&
           SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info));
}

HWND EditFieldOf(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (!GetComboBoxInfo(combo, &info) || info.hwndItem == combo) {
        return nullptr;
    }
    return info.hwndItem;
}

}  // namespace

HWND ControlTooltips::Window() {
    if (m_tips == nullptr) {
        m_tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_dialog, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        if (m_tips != nullptr) {
            RECT width{0, 0, kTipWidthUnits, 0};
            MapDialogRect(m_dialog, &width);
            SendMessageW(m_tips, TTM_SETMAXTIPWIDTH, 0, width.right);
        }
    }
    return m_tips;
}

void ControlTooltips::Set(HWND control, const std::wstring& text) {
    if (control == nullptr) {
        return;
    }
    SetOne(control, text);
    if (HWND edit = EditFieldOf(control)) {
        SetOne(edit, text);
    }
}

void ControlTooltips::SetOne(HWND tool, const std::wstring& text) {
    TOOLINFOW info = ToolOf(m_dialog, tool);
    if (text.empty()) {
        if (HasTool(m_tips, info)) {
            SendMessageW(m_tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
        }
        return;
    }
    HWND tips = Window();
    if (tips == nullptr) {
        return;
    }
    std::wstring copy = text;  // the control copies it; the message takes no const
    info.lpszText = copy.data();
    const UINT message = HasTool(tips, info) ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW;
    SendMessageW(tips, message, 0, reinterpret_cast<LPARAM>(&info));
}

std::wstring ControlTooltips::Text(HWND control) const {
    TOOLINFOW info = ToolOf(m_dialog, control);
    if (!HasTool(m_tips, info)) {
        return {};
    }
    std::vector<wchar_t> text(4096, L'\0');
    info.lpszText = text.data();
    SendMessageW(m_tips, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&info));
    text.back() = L'\0';
    return text.data();
}

bool ItemIsCut(HWND combo, int index) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (index < 0 || length == CB_ERR || !GetComboBoxInfo(combo, &info)) {
        return false;
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));

    HDC dc = GetDC(combo);
    if (dc == nullptr) {
        return false;
    }
    auto font = reinterpret_cast<HFONT>(SendMessageW(combo, WM_GETFONT, 0, 0));
    HGDIOBJ previous = SelectObject(dc, font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(combo, dc);
    // The box draws its text inside the item area, a small edge in from each side.
    const int room = info.rcItem.right - info.rcItem.left - 2 * GetSystemMetrics(SM_CXEDGE);
    return size.cx > room;
}

}  // namespace tessaly
