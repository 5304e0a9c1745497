// Window templates: what each window holds, as plain data. The window framework
// builds a window from its template; nothing here knows about any toolkit.
#pragma once

#include <cstdint>
#include <span>

#include "resources/setting_lists.h"

namespace tessaly {

enum class ControlKind {
    PushButton,
    DefaultPushButton,
    DropDownList,      // choose only, no typing
    EditableDropDown,  // the operator may type text that matches no item
    Label,
    VCentredLabel,  // text centred vertically in its box
    CentredLabel,
    SunkenCentredLabel,
    GroupBox,
    ProgressBar,
};

// One control. Position and size are in dialog units; a drop-down's height
// includes its dropped list.
struct ControlTemplate {
    int id;
    const char* name;  // the id's symbolic name, "" for labels and group boxes
    ControlKind kind;
    const char* text;  // caption of buttons, labels and group boxes
    ListItems items;   // items of drop-downs, in list order
    int x, y, w, h;
    bool enabled = true;
    std::int32_t initialIndex = -1;  // drop-downs: item selected at start, -1 none
    bool verticalScroll = false;
};

// One window: its controls in template order, which is also the tab order.
struct DialogTemplate {
    int id;
    const char* caption;
    int width, height;  // dialog units
    std::span<const ControlTemplate> controls;

    // The control with this id, or nullptr. Ids are unique within one window only.
    const ControlTemplate* Find(int controlId) const;
};

// The row of a closed drop-down in the templates (their height includes the
// dropped list). The box itself is as tall as the toolkit needs for its font,
// centred on this row, so that no letter is cut off at any font size.
inline constexpr int kClosedDropDownHeight = 12;

// The label that names `controls[index]` for screen readers: a label on the
// control's row, to its left. Null for controls that take no label and for
// those the template gives none.
const ControlTemplate* LabelOf(std::span<const ControlTemplate> controls, std::size_t index);

// The template of window `dialogId` (IDD_...), or nullptr.
const DialogTemplate* FindDialogTemplate(int dialogId);

extern const DialogTemplate kMainTemplate;
extern const DialogTemplate kSwitchEditorTemplate;
extern const DialogTemplate kBasicSettingsTemplate;

}  // namespace tessaly
