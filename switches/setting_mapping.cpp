#include "switches/setting_mapping.h"

#include <cstddef>
#include <cstdint>

namespace tessaly {

namespace {

constexpr int kCodeTableGroup = 0;
constexpr int kIntlSetGroup = 1;
constexpr int kBrightnessGroup = 2;
constexpr int kPeripheralGroup = 3;
constexpr int kCursorGroup = 4;

constexpr int kCodeTableWidth = 6;
constexpr int kIntlSetWidth = 5;
constexpr int kBrightnessWidth = 3;
constexpr int kPeripheralWidth = 3;
constexpr int kCursorBit = 1;

// Brightness items run from brightest down: value = 4 - index.
constexpr std::uint32_t kBrightnessTop = 4;

}  // namespace

std::int32_t CodeTableValue(std::int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= CodeTableValues.size()) {
        return 0;
    }
    return CodeTableValues[static_cast<std::size_t>(index)];
}

std::int32_t CodeTableIndex(std::int32_t value) {
    for (std::size_t i = 0; i < CodeTableValues.size(); ++i) {
        if (CodeTableValues[i] == value) {
            return static_cast<std::int32_t>(i);
        }
    }
    return 0;
}

SettingIndices DeriveIndices(const SwitchGrid& grid) {
    SettingIndices indices;
    indices.codeTable = CodeTableIndex(grid.FieldValue(kCodeTableGroup, kCodeTableWidth));
    indices.intlSet = grid.FieldValue(kIntlSetGroup, kIntlSetWidth);
    indices.brightness = static_cast<std::int32_t>(kBrightnessTop) -
                         grid.FieldValue(kBrightnessGroup, kBrightnessWidth);
    indices.peripheral = grid.FieldValue(kPeripheralGroup, kPeripheralWidth) - 1;
    indices.cursorMode = grid.At(kCursorGroup, kCursorBit) == 0 ? 1 : 0;
    return indices;
}

std::array<std::int32_t, 5> HeldValues(const SwitchGrid& grid) {
    return {grid.FieldValue(kCodeTableGroup, kCodeTableWidth),
            grid.FieldValue(kIntlSetGroup, kIntlSetWidth),
            grid.FieldValue(kBrightnessGroup, kBrightnessWidth),
            grid.FieldValue(kPeripheralGroup, kPeripheralWidth), grid.At(kCursorGroup, kCursorBit)};
}

void ApplyCodeTable(SwitchGrid& grid, std::int32_t index) {
    grid.SetField(kCodeTableGroup, kCodeTableWidth, CodeTableValue(index));
}

void ApplyIntlSet(SwitchGrid& grid, std::int32_t index) {
    grid.SetField(kIntlSetGroup, kIntlSetWidth, index);
}

// The arithmetic below is unsigned so that an index near the ends of the 32-bit
// range wraps instead of overflowing; only the low bits reach the switch anyway.
void ApplyBrightness(SwitchGrid& grid, std::int32_t index) {
    const std::uint32_t value = kBrightnessTop - static_cast<std::uint32_t>(index);
    grid.SetField(kBrightnessGroup, kBrightnessWidth, static_cast<std::int32_t>(value & 0x7u));
}

void ApplyPeripheral(SwitchGrid& grid, std::int32_t index) {
    const std::uint32_t value = static_cast<std::uint32_t>(index) + 1u;
    grid.SetField(kPeripheralGroup, kPeripheralWidth, static_cast<std::int32_t>(value & 0x7u));
}

void ApplyCursorMode(SwitchGrid& grid, std::int32_t index) {
    grid.Set(kCursorGroup, kCursorBit, index == 0 ? 1 : 0);
}

}  // namespace tessaly
