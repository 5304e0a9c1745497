#include "ui/win32/win32_label_fonts.h"

#include <cstdlib>
#include <string>

namespace tessaly {

namespace {

constexpr int kSmallestPointSize = 6;

bool IsTextLabel(HWND control) {
    wchar_t name[16] = {};
    GetClassNameW(control, name, 16);
    const LONG kind = GetWindowLongW(control, GWL_STYLE) & SS_TYPEMASK;
    return lstrcmpiW(name, L"Static") == 0 &&
           (kind == SS_LEFT || kind == SS_CENTER || kind == SS_RIGHT);
}

int TextWidth(HDC dc, HFONT font, const std::wstring& text) {
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    return size.cx;
}

}  // namespace

LabelFonts::LabelFonts(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsTextLabel(child)) {
            Fit(child);
        }
    }
}

LabelFonts::~LabelFonts() {
    for (HFONT font : m_fonts) {
        DeleteObject(font);
    }
}

void LabelFonts::Fit(HWND label) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(label)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(label, text.data(), static_cast<int>(text.size()))));
    RECT box{};
    GetClientRect(label, &box);
    auto font = reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0));
    LOGFONTW shape{};
    if (text.empty() || font == nullptr || GetObjectW(font, sizeof shape, &shape) == 0) {
        return;
    }
    HDC dc = GetDC(label);
    const int smallest = MulDiv(kSmallestPointSize, GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT fitted = nullptr;
    // The font's height is negative when it gives the character height, as the
    // dialog manager's does; one pixel less at a time either way.
    while (TextWidth(dc, fitted != nullptr ? fitted : font, text) > box.right &&
           std::abs(shape.lfHeight) > smallest) {
        shape.lfHeight += shape.lfHeight < 0 ? 1 : -1;
        if (fitted != nullptr) {
            DeleteObject(fitted);
        }
        fitted = CreateFontIndirectW(&shape);
        if (fitted == nullptr) {
            break;
        }
    }
    ReleaseDC(label, dc);
    if (fitted != nullptr) {
        m_fonts.push_back(fitted);
        SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(fitted), FALSE);
    }
}

}  // namespace tessaly
