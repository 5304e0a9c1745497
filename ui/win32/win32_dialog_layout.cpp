#include "ui/win32/win32_dialog_layout.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "files/win32_utf16.h"

namespace tessaly {

namespace {

// Predefined classes by their atom, as resource compilers write them.
constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kComboBoxAtom = 0x0085;

// The shell's dialog font: the dialog manager maps this name, with DS_SHELLFONT,
// to the desktop's current dialog face; the layouts were drawn for its 8 points.
constexpr wchar_t kDialogFace[] = L"MS Shell Dlg";
constexpr WORD kDialogPoints = 8;

// Writes the template's 16-bit words; items start on 32-bit boundaries.
class TemplateWriter {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const std::wstring& text) {
        for (wchar_t c : text) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    void Ordinal(WORD atom) {
        Word(0xFFFF);
        Word(atom);
    }
    void Align() {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
    }
    void Short(int value) { Word(static_cast<WORD>(static_cast<short>(value))); }

    std::vector<DWORD> Done() {
        Align();
        std::vector<DWORD> aligned(m_words.size() / 2);
        std::memcpy(aligned.data(), m_words.data(), m_words.size() * sizeof(WORD));
        return aligned;
    }

private:
    std::vector<WORD> m_words;
};

bool IsDropDown(ControlKind kind) {
    return kind == ControlKind::DropDownList || kind == ControlKind::EditableDropDown;
}

void WriteClass(TemplateWriter& out, ControlKind kind) {
    switch (kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton:
        case ControlKind::GroupBox:
            out.Ordinal(kButtonAtom);
            return;
        case ControlKind::DropDownList:
        case ControlKind::EditableDropDown:
            out.Ordinal(kComboBoxAtom);
            return;
        case ControlKind::Label:
        case ControlKind::VCentredLabel:
        case ControlKind::CentredLabel:
        case ControlKind::SunkenCentredLabel:
            out.Ordinal(kStaticAtom);
            return;
        case ControlKind::ProgressBar:
            out.Text(PROGRESS_CLASSW);
            return;
    }
}

void WriteControl(TemplateWriter& out, const ControlTemplate& control) {
    out.Align();
    out.Dword(0);  // help id
    out.Dword(0);  // extended style
    out.Dword(ControlStyle(control));
    out.Short(control.x);
    out.Short(control.y);
    out.Short(control.w);
    out.Short(control.h);  // a drop-down's includes its dropped list, as here
    out.Dword(static_cast<DWORD>(control.id));
    WriteClass(out, control.kind);
    out.Text(IsDropDown(control.kind) ? std::wstring() : Widen(control.text));
    out.Word(0);  // no creation data
}

}  // namespace

std::vector<const ControlTemplate*> CreationOrder(std::span<const ControlTemplate> controls) {
    std::vector<const ControlTemplate*> labels(controls.size(), nullptr);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        labels[i] = LabelOf(controls, i);
    }
    std::vector<const ControlTemplate*> order;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (std::find(labels.begin(), labels.end(), &controls[i]) != labels.end()) {
            continue;  // made with the control it names
        }
        if (labels[i] != nullptr) {
            order.push_back(labels[i]);
        }
        order.push_back(&controls[i]);
    }
    return order;
}

DWORD ControlStyle(const ControlTemplate& control) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    switch (control.kind) {
        case ControlKind::PushButton:
            style |= BS_PUSHBUTTON | WS_TABSTOP;
            break;
        case ControlKind::DefaultPushButton:
            style |= BS_DEFPUSHBUTTON | WS_TABSTOP;
            break;
        case ControlKind::DropDownList:
            style |= CBS_DROPDOWNLIST | WS_TABSTOP;
            break;
        case ControlKind::EditableDropDown:
            // Scrolls its text, so that a name longer than the box can be typed.
            style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP;
            break;
        case ControlKind::Label:
            style |= SS_LEFT;
            break;
        case ControlKind::VCentredLabel:
            style |= SS_LEFT | SS_CENTERIMAGE;
            break;
        case ControlKind::CentredLabel:
            style |= SS_CENTER;
            break;
        case ControlKind::SunkenCentredLabel:
            style |= SS_CENTER | SS_SUNKEN;
            break;
        case ControlKind::GroupBox:
            style |= BS_GROUPBOX;
            break;
        case ControlKind::ProgressBar:
            break;
    }
    if (IsDropDown(control.kind) && control.verticalScroll) {
        style |= WS_VSCROLL;
    }
    if (!control.enabled) {
        style |= WS_DISABLED;
    }
    return style;
}

std::vector<DWORD> BuildDialogTemplate(const DialogTemplate& layout) {
    const std::vector<const ControlTemplate*> order = CreationOrder(layout.controls);
    TemplateWriter out;
    out.Word(1);       // version
    out.Word(0xFFFF);  // extended template
    out.Dword(0);      // help id
    out.Dword(WS_EX_APPWINDOW);
    out.Dword(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SHELLFONT | DS_CENTER);
    out.Word(static_cast<WORD>(order.size()));
    out.Short(0);
    out.Short(0);
    out.Short(layout.width);
    out.Short(layout.height);
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(Widen(layout.caption));
    out.Word(kDialogPoints);
    out.Word(FW_NORMAL);
    out.Word(MAKEWORD(FALSE, DEFAULT_CHARSET));  // italic, character set
    out.Text(kDialogFace);
    for (const ControlTemplate* control : order) {
        WriteControl(out, *control);
    }
    return out.Done();
}

}  // namespace tessaly
