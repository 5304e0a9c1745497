// A virtual display on a real pseudo-terminal and a scratch directory, with
// helpers to run tessaly-cli against them.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/support/temp_dir.h"
#include "tools/virtual_display.h"

namespace tessaly::testing {

using Digits = std::array<std::uint8_t, 8>;

// The display's digits for a switch value, bit 8 first.
inline Digits DigitsOf(unsigned value) {
    Digits digits{};
    for (int bit = 8; bit >= 1; --bit) {
        digits[8 - bit] = (value >> (bit - 1)) & 1U ? '1' : '0';
    }
    return digits;
}

// Settings a display might hold, every set bit one that "Set Status" sends:
// "PC737 (Greek)", "Japan", "100%", "Both Printer and Customer Display", cursor
// shown, and bits 5 and 6 of switch 14.
inline constexpr std::array<unsigned, 5> kPresetValues{29, 8, 4, 3, 0b110001};

// Bytes on the line before each point of `set`: the connection check, the read of
// the five switches, and entering user setting mode.
inline constexpr std::size_t kCheckBytes = 2 + 2 + 3 + 8 + 9;
inline constexpr std::size_t kReadBytes = 3 + 5 * 7;
inline constexpr std::size_t kEnteredBytes = kCheckBytes + kReadBytes + 2 + 3 + 8;

class CliTest : public ::testing::Test {
protected:
    CliResult Run(std::vector<std::string> args) { return RunCli(args, m_state.Path()); }
    // Runs against `display` with its device as --port.
    CliResult RunOn(const VirtualDisplay& display, std::vector<std::string> args) {
        args.insert(args.begin(), {"--port", display.DevicePath()});
        return Run(std::move(args));
    }
    std::string File(const std::string& name) const { return m_files / name; }
    const std::string& StateDir() const { return m_state.Path(); }

    static void Preset(VirtualDisplay& display) {
        for (int group = 0; group < 5; ++group) {
            display.SetSwitchDigits(10 + group, DigitsOf(kPresetValues[group]));
        }
    }
    static std::array<Digits, 5> AllDigits(const VirtualDisplay& display) {
        std::array<Digits, 5> all{};
        for (int group = 0; group < 5; ++group) {
            all[group] = display.SwitchDigits(10 + group);
        }
        return all;
    }

    test::TempDir m_state;
    test::TempDir m_files;
};

}  // namespace tessaly::testing
