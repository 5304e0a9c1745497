#include "switches/switch_grid.h"

#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace tessaly {

namespace {

// Bits the display takes from Set Status, per switch (bit k is mask bit k - 1).
// Switch 14 carries bits 5 and 6 back unchanged although no list owns them.
constexpr std::array<unsigned, SwitchGrid::kGroups> kCarriedMask{
    0b0011'1111,  // 10: code table, bits 1..6
    0b0001'1111,  // 11: international character set, bits 1..5
    0b0000'0111,  // 12: brightness, bits 1..3
    0b0000'0111,  // 13: peripheral device, bits 1..3
    0b0011'0001,  // 14: cursor mode bit 1, and bits 5 and 6
};

void CheckWidth(int width) {
    if (width < 1 || width > 8) {
        throw std::out_of_range("switch field width must be 1 to 8");
    }
}

}  // namespace

int SwitchGrid::Index(int group, int element) {
    if (group < 0 || group >= kGroups || element < 0 || element >= kElements) {
        throw std::out_of_range("switch grid position out of range");
    }
    return group * kElements + element;
}

std::int32_t SwitchGrid::At(int group, int element) const {
    return elements_[Index(group, element)];
}

void SwitchGrid::Set(int group, int element, std::int32_t value) {
    elements_[Index(group, element)] = value;
}

void SwitchGrid::StoreBits(int group, const SwitchBits& bits) {
    for (int bit = 1; bit <= 8; ++bit) {
        Set(group, bit, bits[bit - 1]);
    }
}

SwitchBits SwitchGrid::CarriedBits(int group) const {
    Index(group, 0);  // rejects a group that is no switch before the table is read
    const unsigned mask = kCarriedMask[static_cast<std::size_t>(group)];
    SwitchBits carried{};
    for (int bit = 1; bit <= 8; ++bit) {
        const bool sent = (mask >> (bit - 1)) & 1u;
        carried[bit - 1] = (sent && At(group, bit) != 0) ? 1 : 0;
    }
    return carried;
}

int SwitchGrid::FieldValue(int group, int width) const {
    CheckWidth(width);
    int value = 0;
    for (int bit = 1; bit <= width; ++bit) {
        if (At(group, bit) != 0) {
            value |= 1 << (bit - 1);
        }
    }
    return value;
}

void SwitchGrid::SetField(int group, int width, std::int32_t value) {
    CheckWidth(width);
    // Unsigned, so that a negative value gives its two's-complement low bits.
    const auto bits = static_cast<std::uint32_t>(value);
    for (int bit = 1; bit <= width; ++bit) {
        Set(group, bit, static_cast<std::int32_t>((bits >> (bit - 1)) & 1u));
    }
}

}  // namespace tessaly
