// The five settings as the command line names, shows and changes them: one row
// per list of the switch editor, with the editor's own apply operation.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "cli/cli_request.h"
#include "resources/setting_lists.h"
#include "switches/setting_mapping.h"

namespace tessaly {

struct SettingRow {
    const char* option;  // `set --<option>` and the key in JSON
    const char* label;   // the editor's label for the list
    ListItems items;
    int group;  // switch 10 + group holds the setting in bits 1..width
    int width;
    std::int32_t SettingIndices::*index;
    void (*apply)(SwitchGrid&, std::int32_t);
    std::optional<std::int32_t> SettingChoices::*choice;
};

extern const std::array<SettingRow, 5> kSettingRows;

// An item as a person types it (see MatchItem); nullopt when it names no item
// or more than one.
std::optional<std::int32_t> ChooseItem(ListItems items, const std::string& text);

// Applies only the chosen settings, in list order, with the editor's operations.
void ApplyChoices(SwitchGrid& grid, const SettingChoices& choices);

}  // namespace tessaly
