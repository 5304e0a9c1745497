#include "switches/setting_mapping.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>

#include "resources/setting_lists.h"

namespace tessaly {
namespace {

// Every element holds a stray value, so an apply must rewrite its bits to 0 or 1.
SwitchGrid StrayGrid() {
    SwitchGrid grid;
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        for (int element = 0; element < SwitchGrid::kElements; ++element) {
            grid.Set(group, element, -48 - element);
        }
    }
    return grid;
}

struct ListCase {
    const char* name;
    ListItems items;
    std::function<void(SwitchGrid&, std::int32_t)> apply;
    std::int32_t SettingIndices::*index;
    int group;
    int width;  // bits 1..width belong to the setting
};

const ListCase kLists[] = {
    {"code table", kCodeTableItems, ApplyCodeTable, &SettingIndices::codeTable, 0, 6},
    {"character set", kIntlSetItems, ApplyIntlSet, &SettingIndices::intlSet, 1, 5},
    {"brightness", kBrightnessItems, ApplyBrightness, &SettingIndices::brightness, 2, 3},
    {"peripheral", kPeripheralItems, ApplyPeripheral, &SettingIndices::peripheral, 3, 3},
    {"cursor mode", kCursorModeItems, ApplyCursorMode, &SettingIndices::cursorMode, 4, 1},
};

TEST(SettingMapping, EveryItemOfEveryListComesBackAfterApplyAndDerive) {
    for (const ListCase& list : kLists) {
        for (std::int32_t i = 0; i < static_cast<std::int32_t>(list.items.size()); ++i) {
            SCOPED_TRACE(std::string(list.name) + " item " + list.items[i]);
            const SwitchGrid before = StrayGrid();
            SwitchGrid grid = before;
            list.apply(grid, i);
            EXPECT_EQ(DeriveIndices(grid).*list.index, i);
            for (int group = 0; group < SwitchGrid::kGroups; ++group) {
                for (int element = 0; element < SwitchGrid::kElements; ++element) {
                    const bool owned = group == list.group && element >= 1 && element <= list.width;
                    if (owned) {
                        const std::int32_t v = grid.At(group, element);
                        EXPECT_TRUE(v == 0 || v == 1) << "bit " << element << " holds " << v;
                    } else {
                        EXPECT_EQ(grid.At(group, element), before.At(group, element))
                            << "switch " << 10 + group << " element " << element;
                    }
                }
            }
        }
    }
}

TEST(SettingMapping, CodeTableValuesWithoutAnItemOrWithBitSixShowTheFirstTable) {
    SwitchGrid grid;
    grid.SetField(0, 6, 29);
    EXPECT_EQ(DeriveIndices(grid).codeTable, 6);
    grid.SetField(0, 6, 61);  // bit 6 set as well
    EXPECT_EQ(DeriveIndices(grid).codeTable, 0);
    for (std::int32_t value : {6, 13, 20, 26, 32, 63}) {
        grid.SetField(0, 6, value);
        EXPECT_EQ(DeriveIndices(grid).codeTable, 0) << value;
    }
    EXPECT_EQ(CodeTableValue(-1), 0);
    EXPECT_EQ(CodeTableValue(17), 0);
    EXPECT_EQ(CodeTableIndex(27), 16);
    EXPECT_EQ(CodeTableIndex(-48), 0);
}

TEST(SettingMapping, SwitchValuesPastTheListsDeriveIndicesThatShowNoSelection) {
    SwitchGrid grid;
    grid.SetField(1, 5, 16);
    grid.SetField(2, 3, 5);
    grid.SetField(3, 3, 4);
    EXPECT_EQ(DeriveIndices(grid), (SettingIndices{0, 16, -1, 3, 1}));
    EXPECT_EQ(ItemText(kIntlSetItems, 16), nullptr);
    EXPECT_EQ(ItemText(kBrightnessItems, -1), nullptr);
    EXPECT_EQ(ItemText(kPeripheralItems, 3), nullptr);
}

TEST(SettingMapping, StrayNonzeroValuesCountAsSetBitsWhenDeriving) {
    SwitchGrid grid;
    grid.StoreBits(0, {-48, 0, 2, 7, -1, 0, 0, 0});  // 29 read through stray digits
    grid.StoreBits(4, {-49, 0, 0, 0, 0, 0, 0, 0});
    const SettingIndices indices = DeriveIndices(grid);
    EXPECT_EQ(indices.codeTable, 6);
    EXPECT_EQ(indices.cursorMode, 0);
    EXPECT_EQ(grid.At(0, 1), -48);
}

TEST(SettingMapping, ApplyingRewritesOnlyTheSettingsOwnBits) {
    SwitchGrid grid;
    grid.StoreBits(0, {0, 0, 1, 0, 0, 1, -48, 1});
    ApplyCodeTable(grid, 16);
    EXPECT_EQ(grid.CarriedBits(0), (SwitchBits{1, 1, 0, 1, 1, 0, 0, 0}));
    EXPECT_EQ(grid.At(0, 7), -48);
    EXPECT_EQ(grid.At(0, 8), 1);

    ApplyCodeTable(grid, -1);  // no selection clears all six bits
    EXPECT_EQ(grid.FieldValue(0, 6), 0);

    grid.StoreBits(3, {0, 0, 1, 0, 0, 0, 0, 0});
    ApplyPeripheral(grid, 2);
    EXPECT_EQ(grid.FieldValue(3, 3), 3);

    grid.StoreBits(4, {1, 0, 0, 0, -48, 1, 1, 1});
    ApplyCursorMode(grid, 1);
    EXPECT_EQ(grid.At(4, 1), 0);
    EXPECT_EQ(grid.At(4, 5), -48);
    EXPECT_EQ(grid.At(4, 6), 1);
    EXPECT_EQ(grid.CarriedBits(4), (SwitchBits{0, 0, 0, 0, 1, 1, 0, 0}));
    ApplyCursorMode(grid, -1);
    EXPECT_EQ(grid.At(4, 1), 0);
}

TEST(SettingMapping, IndicesOutsideTheListsTakeTheirLowBits) {
    SwitchGrid grid;
    ApplyIntlSet(grid, 33);
    EXPECT_EQ(grid.FieldValue(1, 5), 1);
    ApplyBrightness(grid, -1);
    EXPECT_EQ(grid.FieldValue(2, 3), 5);
    // The ends of the 32-bit range wrap instead of overflowing.
    ApplyBrightness(grid, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(grid.FieldValue(2, 3), 4);
    ApplyPeripheral(grid, std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(grid.FieldValue(3, 3), 0);
    ApplyPeripheral(grid, -1);
    EXPECT_EQ(grid.FieldValue(3, 3), 0);
}

TEST(SettingMapping, NoOperationReadsOrWritesElementZero) {
    SwitchGrid grid;
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        grid.Set(group, 0, 100 + group);
    }
    const SettingIndices zero = DeriveIndices(SwitchGrid{});
    EXPECT_EQ(DeriveIndices(grid), zero);
    ApplyCodeTable(grid, 16);
    ApplyIntlSet(grid, 15);
    ApplyBrightness(grid, 0);
    ApplyPeripheral(grid, 2);
    ApplyCursorMode(grid, 0);
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        EXPECT_EQ(grid.At(group, 0), 100 + group);
    }
}

}  // namespace
}  // namespace tessaly
