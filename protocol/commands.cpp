#include "protocol/commands.h"

namespace tessaly {

namespace {

// Switch number of the US ( E commands and the parameter of the framed ones.
constexpr std::size_t kSwitchNumberAt = 6;
constexpr std::size_t kFramedParameterAt = 3;
constexpr std::size_t kFirstDigitAt = 7;
// In a query reply the digits d1..d8 are bytes 2..9 of what follows "W".
constexpr std::size_t kFirstReplyDigitAt = 2;

CommandRow WithByte(CommandRow row, std::size_t at, Byte value) {
    row.bytes[at] = value;
    return row;
}

}  // namespace

CommandRow QuerySwitch(Byte switchNumber) {
    return WithByte(CMD_QUERY_SWITCH, kSwitchNumberAt, switchNumber);
}

CommandRow WriteSwitch(Byte switchNumber, const SwitchBits& bits) {
    CommandRow row = WithByte(CMD_WRITE_SWITCH, kSwitchNumberAt, switchNumber);
    // d1 carries bit 8 and d8 bit 1: the display lists its bits high first.
    for (std::size_t j = 0; j < bits.size(); ++j) {
        const std::int32_t bit = bits[bits.size() - 1 - j];
        row.bytes[kFirstDigitAt + j] = bit != 0 ? Byte{0x31} : Byte{0x30};
    }
    return row;
}

CommandRow SetCodeTable(Byte value) {
    return WithByte(CMD_SET_CODE_TABLE, kFramedParameterAt, value);
}

CommandRow SetIntlSet(Byte value) {
    return WithByte(CMD_SET_INTL_SET, kFramedParameterAt, value);
}

SwitchBits ParseQueryReply(std::span<const Byte, kQueryReplyLength> reply) {
    SwitchBits bits{};
    for (std::size_t j = 0; j < bits.size(); ++j) {
        // Digits are kept as signed numbers, not validated: status files carry
        // whatever the display sent, and any nonzero value counts as set.
        const auto digit = static_cast<std::int8_t>(reply[kFirstReplyDigitAt + j]);
        bits[bits.size() - 1 - j] = static_cast<std::int32_t>(digit) - 0x30;
    }
    return bits;
}

}  // namespace tessaly
