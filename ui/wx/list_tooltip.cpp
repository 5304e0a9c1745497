#include "ui/wx/list_tooltip.h"

#include <algorithm>

#include <wx/choice.h>

namespace tessaly {

namespace {

int TextWidth(const wxChoice& list, unsigned index) {
    return list.GetTextExtent(list.GetString(index)).x;
}

}  // namespace

// The list's best width is its longest item plus the theme's frame and arrow;
// what is left of the real width after that frame and arrow is the room for text.
bool ItemIsCut(const wxWindow* control, int index) {
    const auto* list = dynamic_cast<const wxChoice*>(control);
    if (list == nullptr || index < 0 || static_cast<unsigned>(index) >= list->GetCount()) {
        return false;
    }
    int longest = 0;
    for (unsigned i = 0; i < list->GetCount(); ++i) {
        longest = std::max(longest, TextWidth(*list, i));
    }
    const int frame = list->GetBestSize().x - longest;
    return TextWidth(*list, static_cast<unsigned>(index)) > list->GetSize().x - frame;
}

void UpdateListTooltip(wxWindow* control, const std::string& note) {
    auto* list = dynamic_cast<wxChoice*>(control);
    if (list == nullptr) {
        return;
    }
    const int index = list->GetSelection();
    if (!note.empty()) {
        list->SetToolTip(wxString::FromUTF8(note));
    } else if (ItemIsCut(list, index)) {
        list->SetToolTip(list->GetString(static_cast<unsigned>(index)));
    } else {
        list->UnsetToolTip();
    }
}

}  // namespace tessaly
