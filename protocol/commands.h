// The display's command set: every byte Tessaly sends and the shape of every
// reply it reads. Pure data and pure functions; nothing here touches a device.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tessaly {

using Byte = std::uint8_t;

// Bit values of one memory switch, bit 1 first (index 0 = bit 1, index 7 = bit 8).
// Nonzero means set; values are kept exactly as they arrive (a 0x00 digit gives -48).
using SwitchBits = std::array<std::int32_t, 8>;

// One fixed command row. Parameters are put in place by the builders below.
struct CommandRow {
    std::array<Byte, 15> bytes;
    std::size_t length;
    std::span<const Byte> view() const { return {bytes.data(), length}; }
};

inline constexpr CommandRow CMD_INITIALIZE{{0x1B, 0x40}, 2};
inline constexpr CommandRow CMD_SELECT_DISPLAY{{0x1B, 0x3D, 0x02}, 3};
inline constexpr CommandRow CMD_SELF_TEST{{0x1F, 0x40}, 2};
inline constexpr CommandRow CMD_ENTER_USER_SETTING{{0x1F, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E},
                                                   8};
inline constexpr CommandRow CMD_EXIT_USER_SETTING{
    {0x1F, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54}, 9};
inline constexpr CommandRow CMD_QUERY_SWITCH{{0x1F, 0x28, 0x45, 0x02, 0x00, 0x04, 0x00}, 7};
inline constexpr CommandRow CMD_WRITE_SWITCH{
    {0x1F, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x00, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30}, 15};
inline constexpr CommandRow CMD_SHOW_INFO{{0x02, 0x05, 0x56, 0x05, 0x03}, 5};
inline constexpr CommandRow CMD_SET_CODE_TABLE{{0x02, 0x05, 0x46, 0x00, 0x03}, 5};
inline constexpr CommandRow CMD_SET_INTL_SET{{0x02, 0x05, 0x53, 0x00, 0x03}, 5};

// The synchronisation byte ("W") that opens the display's answers.
inline constexpr Byte kSyncByte = 0x57;
// Identity the display answers after the sync byte when it enters user setting mode.
inline constexpr Byte kIdentity0 = 0x23;
inline constexpr Byte kIdentity1 = 0x1F;
// Bytes that follow the sync byte in a switch query reply.
inline constexpr std::size_t kQueryReplyLength = 11;
// Bytes of that reply up to the last digit; the one after it is not looked at.
inline constexpr std::size_t kQueryReplyDigitsEnd = 10;

// Memory switches that carry the user settings.
inline constexpr int kFirstSwitch = 10;
inline constexpr int kSwitchCount = 5;

CommandRow QuerySwitch(Byte switchNumber);
// The only place (with ParseQueryReply) that knows the digit order: d1 carries bit 8.
CommandRow WriteSwitch(Byte switchNumber, const SwitchBits& bits);
CommandRow SetCodeTable(Byte value);
CommandRow SetIntlSet(Byte value);

// Takes the 11 bytes that follow the sync byte; bytes 2..9 are digits d1..d8.
// Bit k is (signed char)reply[10 - k] - 0x30.
SwitchBits ParseQueryReply(std::span<const Byte, kQueryReplyLength> reply);

}  // namespace tessaly
