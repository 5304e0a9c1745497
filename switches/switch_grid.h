// The editor's copy of memory switches 10 to 14: one group per switch, element k
// holding bit k. Values stay exactly as they arrived (a 0x00 digit gives -48, a
// status file may hold anything) until a setting rewrites them; only zero versus
// nonzero carries meaning.
#pragma once

#include <array>
#include <cstdint>

#include "protocol/commands.h"

namespace tessaly {

class SwitchGrid {
public:
    static constexpr int kGroups = kSwitchCount;
    // Element 0 stands for no bit; it travels only through status files.
    static constexpr int kElements = 9;

    void Clear() { elements_.fill(0); }

    // Raw access; group 0..4, element 0..8. Anything else is a programming error
    // and throws std::out_of_range rather than touching a neighbouring switch.
    std::int32_t At(int group, int element) const;
    void Set(int group, int element, std::int32_t value);

    // Bits 1..8 take the eight values; element 0 is left alone.
    void StoreBits(int group, const SwitchBits& bits);

    // What Set Status sends for the group's switch: 1 for a set bit the display
    // takes from us, 0 for every other bit whatever the grid holds.
    SwitchBits CarriedBits(int group) const;

    // Bits 1..width as a number, bit 1 least significant; width 1..8.
    int FieldValue(int group, int width) const;
    // Bits 1..width become exactly 0 or 1 from the low bits of value; the rest stay.
    void SetField(int group, int width, std::int32_t value);

    bool operator==(const SwitchGrid&) const = default;

private:
    static int Index(int group, int element);

    std::array<std::int32_t, kGroups * kElements> elements_{};
};

}  // namespace tessaly
