#include "cli/setting_table.h"

#include <charconv>

namespace tessaly {

const std::array<SettingRow, 5> kSettingRows{{
    {"code-table", "Character code table", kCodeTableItems, 0, 6, &SettingIndices::codeTable,
     &ApplyCodeTable, &SettingChoices::codeTable},
    {"intl-set", "International character set", kIntlSetItems, 1, 5, &SettingIndices::intlSet,
     &ApplyIntlSet, &SettingChoices::intlSet},
    {"brightness", "Brightness", kBrightnessItems, 2, 3, &SettingIndices::brightness,
     &ApplyBrightness, &SettingChoices::brightness},
    {"peripheral", "Peripheral device", kPeripheralItems, 3, 3, &SettingIndices::peripheral,
     &ApplyPeripheral, &SettingChoices::peripheral},
    {"cursor", "Cursor display mode", kCursorModeItems, 4, 1, &SettingIndices::cursorMode,
     &ApplyCursorMode, &SettingChoices::cursorMode},
}};

std::optional<std::int32_t> ChooseItem(ListItems items, const std::string& text) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (text == items[i]) {
            return static_cast<std::int32_t>(i);
        }
    }
    std::int32_t index = -1;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, index);
    if (text.empty() || error != std::errc() || stop != end || !IsShownIndex(index, items.size())) {
        return std::nullopt;
    }
    return index;
}

void ApplyChoices(SwitchGrid& grid, const SettingChoices& choices) {
    for (const SettingRow& row : kSettingRows) {
        if (const auto& choice = choices.*row.choice) {
            row.apply(grid, *choice);
        }
    }
}

}  // namespace tessaly
