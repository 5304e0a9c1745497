#include "ui/wx/control_factory.h"

#include <algorithm>
#include <cstdlib>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

namespace tessaly {

namespace {

wxArrayString Items(const ControlTemplate& control) {
    wxArrayString items;
    for (const char* item : control.items) {
        items.Add(wxString::FromUTF8(item));
    }
    return items;
}

// The layouts were drawn for a narrower font than this desktop's, and a box that
// is too narrow makes the label wrap and lose its last words. A label keeps its
// box and takes a smaller size of the font instead.
void FitTextToWidth(wxStaticText& label, int width) {
    constexpr int kSmallestPointSize = 6;
    wxFont font = label.GetFont();
    while (label.GetTextExtent(label.GetLabel()).GetWidth() > width &&
           font.GetPointSize() > kSmallestPointSize) {
        font.SetPointSize(font.GetPointSize() - 1);
        label.SetFont(font);
    }
}

// The height the label's text needs; the box the label was made with does not count.
int TextHeight(wxWindow& label) {
    label.SetMinSize(wxDefaultSize);
    label.InvalidateBestSize();
    return label.GetBestSize().GetHeight();
}

wxWindow* CreateLabel(wxWindow& dialog, const ControlTemplate& c, wxPoint pos, wxSize size) {
    long style = wxST_NO_AUTORESIZE;
    if (c.kind == ControlKind::CentredLabel || c.kind == ControlKind::SunkenCentredLabel) {
        style |= wxALIGN_CENTRE_HORIZONTAL;
    }
    if (c.kind == ControlKind::SunkenCentredLabel) {
        style |= wxBORDER_SUNKEN;
    }
    auto* label = new wxStaticText(&dialog, c.id, wxString::FromUTF8(c.text), pos, size, style);
    FitTextToWidth(*label, size.GetWidth());
    if (c.kind == ControlKind::VCentredLabel) {
        // Static text draws from the top; centre it by moving the box instead.
        const int textHeight = TextHeight(*label);
        if (textHeight < size.GetHeight()) {
            label->SetSize(pos.x, pos.y + (size.GetHeight() - textHeight) / 2, size.GetWidth(),
                           textHeight);
        }
    }
    return label;
}

// The closed box at the height its font needs, at least the template's row,
// centred on that row.
void FitClosedDropDown(wxWindow& list, wxPoint pos, wxSize row) {
    const int height = std::max(row.GetHeight(), list.GetBestSize().GetHeight());
    list.SetSize(pos.x, pos.y + (row.GetHeight() - height) / 2, row.GetWidth(), height);
}

}  // namespace

void CentreLabelOn(wxWindow& label, const wxWindow& control) {
    // Static text draws from the top of its box; a box as tall as its text,
    // centred on the control, puts the text on the control's row.
    const wxRect box = control.GetRect();
    const int height = TextHeight(label);
    label.SetSize(label.GetPosition().x, box.y + (box.height - height) / 2,
                  label.GetSize().GetWidth(), height);
}

wxWindow* CreateControl(wxWindow& dialog, const ControlTemplate& c) {
    const wxPoint pos = dialog.ConvertDialogToPixels(wxPoint(c.x, c.y));
    const wxSize size = dialog.ConvertDialogToPixels(wxSize(c.w, c.h));
    const wxSize closedSize = dialog.ConvertDialogToPixels(wxSize(c.w, kClosedDropDownHeight));
    const wxString text = wxString::FromUTF8(c.text);

    wxWindow* window = nullptr;
    switch (c.kind) {
        case ControlKind::PushButton:
        case ControlKind::DefaultPushButton: {
            auto* button = new wxButton(&dialog, c.id, text, pos, size);
            if (c.kind == ControlKind::DefaultPushButton) {
                button->SetDefault();
            }
            window = button;
            break;
        }
        case ControlKind::DropDownList: {
            auto* list = new wxChoice(&dialog, c.id, pos, closedSize, Items(c));
            if (IsShownIndex(c.initialIndex, list->GetCount())) {
                list->SetSelection(c.initialIndex);
            }
            FitClosedDropDown(*list, pos, closedSize);
            window = list;
            break;
        }
        case ControlKind::EditableDropDown: {
            auto* box =
                new wxComboBox(&dialog, c.id, wxString(), pos, closedSize, Items(c), wxCB_DROPDOWN);
            if (IsShownIndex(c.initialIndex, box->GetCount())) {
                box->SetSelection(c.initialIndex);
            }
            FitClosedDropDown(*box, pos, closedSize);
            window = box;
            break;
        }
        case ControlKind::Label:
        case ControlKind::VCentredLabel:
        case ControlKind::CentredLabel:
        case ControlKind::SunkenCentredLabel:
            window = CreateLabel(dialog, c, pos, size);
            break;
        case ControlKind::GroupBox:
            window = new wxStaticBox(&dialog, c.id, text, pos, size);
            break;
        case ControlKind::ProgressBar: {
            auto* gauge = new wxGauge(&dialog, c.id, 100, pos, size, wxGA_HORIZONTAL | wxGA_SMOOTH);
            // The desktop draws a thin bar at one edge of a taller box; a box of
            // the bar's own height sits in the middle of the template's row.
            gauge->SetMinSize(wxDefaultSize);
            const int height = std::min(size.GetHeight(), gauge->GetBestSize().GetHeight());
            gauge->SetSize(pos.x, pos.y + (size.GetHeight() - height) / 2, size.GetWidth(), height);
            window = gauge;
            break;
        }
    }
    window->SetName(wxString::FromUTF8(c.name));
    if (!c.enabled) {
        window->Disable();
    }
    return window;
}

}  // namespace tessaly
