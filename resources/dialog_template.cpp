#include "resources/dialog_template.h"

#include <cstdlib>

#include "resources/control_ids.h"

namespace tessaly {

namespace {

bool IsDropDown(ControlKind kind) {
    return kind == ControlKind::DropDownList || kind == ControlKind::EditableDropDown;
}

bool IsNamingLabel(ControlKind kind) {
    return kind == ControlKind::Label || kind == ControlKind::VCentredLabel ||
           kind == ControlKind::CentredLabel;
}

}  // namespace

const ControlTemplate* DialogTemplate::Find(int controlId) const {
    if (controlId == IDC_STATIC) {
        return nullptr;
    }
    for (const ControlTemplate& control : controls) {
        if (control.id == controlId) {
            return &control;
        }
    }
    return nullptr;
}

const DialogTemplate* FindDialogTemplate(int dialogId) {
    for (const DialogTemplate* t :
         {&kMainTemplate, &kSwitchEditorTemplate, &kBasicSettingsTemplate}) {
        if (t->id == dialogId) {
            return t;
        }
    }
    return nullptr;
}

const ControlTemplate* LabelOf(std::span<const ControlTemplate> controls, std::size_t index) {
    const ControlTemplate& control = controls[index];
    if (!IsDropDown(control.kind) && control.kind != ControlKind::ProgressBar) {
        return nullptr;
    }
    const int rowHeight = IsDropDown(control.kind) ? kClosedDropDownHeight : control.h;
    // Twice the centre, to stay in whole dialog units.
    const int rowCentre2 = 2 * control.y + rowHeight;
    for (const ControlTemplate& label : controls) {
        const int labelCentre2 = 2 * label.y + label.h;
        if (IsNamingLabel(label.kind) && label.x + label.w <= control.x &&
            labelCentre2 >= 2 * control.y && labelCentre2 <= 2 * control.y + 2 * rowHeight &&
            std::abs(labelCentre2 - rowCentre2) <= rowHeight) {
            return &label;
        }
    }
    return nullptr;
}

}  // namespace tessaly
