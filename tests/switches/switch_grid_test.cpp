#include "switches/switch_grid.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tessaly {
namespace {

SwitchGrid AllSet(std::int32_t value) {
    SwitchGrid grid;
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        for (int element = 0; element < SwitchGrid::kElements; ++element) {
            grid.Set(group, element, value);
        }
    }
    return grid;
}

TEST(SwitchGrid, StoreBitsKeepsRawValuesAndLeavesElementZero) {
    SwitchGrid grid;
    grid.Set(2, 0, 7);
    grid.StoreBits(2, {1, 0, -48, -49, 2, 0, 1, 0});
    EXPECT_EQ(grid.At(2, 0), 7);
    EXPECT_EQ(grid.At(2, 1), 1);
    EXPECT_EQ(grid.At(2, 3), -48);
    EXPECT_EQ(grid.At(2, 4), -49);
    EXPECT_EQ(grid.At(2, 5), 2);
    EXPECT_EQ(grid.At(2, 7), 1);
    EXPECT_EQ(grid.At(1, 8), 0);
    EXPECT_EQ(grid.At(3, 0), 0);
}

TEST(SwitchGrid, CarriedBitsSendOnlyTheBitsEachSwitchTakes) {
    const SwitchGrid grid = AllSet(1);
    EXPECT_EQ(grid.CarriedBits(0), (SwitchBits{1, 1, 1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(grid.CarriedBits(1), (SwitchBits{1, 1, 1, 1, 1, 0, 0, 0}));
    EXPECT_EQ(grid.CarriedBits(2), (SwitchBits{1, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(grid.CarriedBits(3), (SwitchBits{1, 1, 1, 0, 0, 0, 0, 0}));
    EXPECT_EQ(grid.CarriedBits(4), (SwitchBits{1, 0, 0, 0, 1, 1, 0, 0}));
}

TEST(SwitchGrid, AnyNonzeroValueIsASetBitAndIsSentAsOne) {
    SwitchGrid grid;
    grid.StoreBits(4, {-48, 0, 0, 0, 2, -1, 0, 0});
    EXPECT_EQ(grid.CarriedBits(4), (SwitchBits{1, 0, 0, 0, 1, 1, 0, 0}));
    EXPECT_EQ(grid.FieldValue(4, 6), 0b110001);
    // Reading never rewrites what arrived.
    EXPECT_EQ(grid.At(4, 1), -48);
    EXPECT_EQ(grid.At(4, 6), -1);
}

TEST(SwitchGrid, FieldValueCountsBitOneAsLeastSignificant) {
    SwitchGrid grid;
    grid.StoreBits(0, {1, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_EQ(grid.FieldValue(0, 3), 5);
    EXPECT_EQ(grid.FieldValue(0, 6), 5);
    EXPECT_EQ(grid.FieldValue(0, 8), 133);
}

TEST(SwitchGrid, SetFieldWritesZeroOrOneAndLeavesHigherBitsAndElementZero) {
    SwitchGrid grid = AllSet(-48);
    grid.SetField(1, 5, 0b10110);
    EXPECT_EQ(grid.At(1, 0), -48);
    EXPECT_EQ(grid.At(1, 1), 0);
    EXPECT_EQ(grid.At(1, 2), 1);
    EXPECT_EQ(grid.At(1, 3), 1);
    EXPECT_EQ(grid.At(1, 4), 0);
    EXPECT_EQ(grid.At(1, 5), 1);
    EXPECT_EQ(grid.At(1, 6), -48);
    EXPECT_EQ(grid.At(1, 8), -48);
    grid.SetField(1, 3, -1);  // negative values give their low bits
    EXPECT_EQ(grid.FieldValue(1, 3), 7);
}

TEST(SwitchGrid, PositionsOutsideTheGridAreRejectedNotAliased) {
    SwitchGrid grid;
    EXPECT_THROW(grid.Set(0, 9, 1), std::out_of_range);
    EXPECT_THROW(grid.At(5, 0), std::out_of_range);
    EXPECT_THROW(grid.At(-1, 1), std::out_of_range);
    EXPECT_THROW(grid.CarriedBits(5), std::out_of_range);
    EXPECT_THROW(grid.FieldValue(0, 9), std::out_of_range);
    EXPECT_EQ(grid, SwitchGrid{});
}

}  // namespace
}  // namespace tessaly
