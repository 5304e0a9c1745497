// Byte and command helpers shared by the tests that talk to a display: the
// bytes of command rows, a display's reply digits, and the line settings that
// reach a pseudo-terminal.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "protocol/commands.h"

namespace tessaly::testing {

using Bytes = std::vector<Byte>;
using Digits = std::array<std::uint8_t, 8>;

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The bytes of commands sent one after another.
inline Bytes BytesOf(std::initializer_list<CommandRow> rows) {
    Bytes all;
    for (const CommandRow& row : rows) {
        all.insert(all.end(), row.view().begin(), row.view().end());
    }
    return all;
}

// Eight reply digits as the display sends them, bit 8 first.
inline Digits D(const char (&text)[9]) {
    Digits digits{};
    for (int i = 0; i < 8; ++i) {
        digits[i] = static_cast<std::uint8_t>(text[i]);
    }
    return digits;
}

// The switch write for switch `n` (0x0A..0x0E) with its digits, bit 8 first.
inline Bytes SwitchWrite(Byte n, const char (&digits)[9] = "00000000") {
    Bytes bytes(15);
    const Byte head[7] = {0x1F, 0x28, 0x45, 0x0A, 0x00, 0x03, n};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = i < 7 ? head[i] : static_cast<Byte>(digits[i - 7]);
    }
    return bytes;
}

// Eight data bits, no parity, one stop bit, the main window's timeouts.
inline LinkSettings SettingsFor(const std::string& device, std::int32_t baud = 115200) {
    LinkSettings settings;
    settings.portName = device;
    settings.baud = baud;
    settings.dataBits = 8;
    settings.timeouts = kMainWindowTimeouts;
    return settings;
}

}  // namespace tessaly::testing
