// A window template as the dialog manager reads it: an extended dialog template
// (DLGTEMPLATEEX) built in memory, in the template's own dialog units.
#pragma once

#include <windows.h>

#include <span>
#include <vector>

#include "resources/dialog_template.h"

namespace tessaly {

// The controls in the order they are created. Each naming label (LabelOf) comes
// immediately before the control it names: screen readers name a control after
// the label just before it. Labels take no focus, so the tab order stays the
// template's.
std::vector<const ControlTemplate*> CreationOrder(std::span<const ControlTemplate> controls);

// The window style of one control of this kind, its state and its scroll bar.
DWORD ControlStyle(const ControlTemplate& control);

// The template for CreateDialogIndirectParamW, 32-bit aligned as it expects.
// Drop-down lists get their items after creation (the template has no room for them).
std::vector<DWORD> BuildDialogTemplate(const DialogTemplate& layout);

}  // namespace tessaly
