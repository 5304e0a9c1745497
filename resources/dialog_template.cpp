#include "resources/dialog_template.h"

#include "resources/control_ids.h"

namespace tessaly {

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

}  // namespace tessaly
