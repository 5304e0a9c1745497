// How the five settings sit in the switch bits: the grid turns into five list
// indices after a read or a load, and a choice in one list rewrites only the
// bits that its setting owns.
#pragma once

#include <array>
#include <cstdint>

#include "switches/switch_grid.h"

namespace tessaly {

// One index per list; -1 or any index past the list shows as no selection.
struct SettingIndices {
    std::int32_t codeTable = 0;
    std::int32_t intlSet = 0;
    std::int32_t brightness = 0;
    std::int32_t peripheral = 0;
    std::int32_t cursorMode = 0;

    bool operator==(const SettingIndices&) const = default;
};

// Code-table value (bits 1..6 of switch 10, and the parameter of the code-table
// command) for each item of the code table list, in list order.
inline constexpr std::array<std::int32_t, 17> CodeTableValues{0,  1,  2,  3,  4,  5,  29, 14, 15,
                                                              16, 17, 18, 19, 28, 30, 31, 27};

// 0 for an index outside the list, so no selection sends the first table.
std::int32_t CodeTableValue(std::int32_t index);
// 0 for a value no item has: such a switch shows the first table.
std::int32_t CodeTableIndex(std::int32_t value);

SettingIndices DeriveIndices(const SwitchGrid& grid);
// The values the five settings' bits hold, in the order of SettingIndices: what
// a list left without a selection cannot show.
std::array<std::int32_t, 5> HeldValues(const SwitchGrid& grid);

void ApplyCodeTable(SwitchGrid& grid, std::int32_t index);
void ApplyIntlSet(SwitchGrid& grid, std::int32_t index);
void ApplyBrightness(SwitchGrid& grid, std::int32_t index);
void ApplyPeripheral(SwitchGrid& grid, std::int32_t index);
void ApplyCursorMode(SwitchGrid& grid, std::int32_t index);

}  // namespace tessaly
