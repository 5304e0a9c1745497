#include "cli/setting_table.h"

#include "cli/item_match.h"

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
    const ItemMatch match = MatchItem(items, SettingAliases(items), text);
    if (match.kind != MatchKind::Found) {
        return std::nullopt;
    }
    return match.index;
}

void ApplyChoices(SwitchGrid& grid, const SettingChoices& choices) {
    for (const SettingRow& row : kSettingRows) {
        if (const auto& choice = choices.*row.choice) {
            row.apply(grid, *choice);
        }
    }
}

}  // namespace tessaly
