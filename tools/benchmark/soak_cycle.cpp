#include "tools/benchmark/soak_cycle.h"

#include <chrono>
#include <random>
#include <thread>

#include "cli/console_host.h"
#include "resources/setting_lists.h"
#include "switches/setting_mapping.h"
#include "tools/display_line.h"
#include "tools/virtual_display.h"
#include "transactions/transactions.h"

namespace tessaly {

namespace {

using Digits = std::array<std::uint8_t, 8>;
using DigitSet = std::array<Digits, kSwitchCount>;

// Bytes the client sends in a set before the first switch write (initialise,
// select, enter user setting mode), and the five switch writes after them.
constexpr std::size_t kBytesBeforeWrites = 2 + 3 + 8;
constexpr std::size_t kSwitchWriteBytes = kSwitchCount * 15;
// Bytes of a read: select, then five queries.
constexpr std::size_t kReadBytes = 3 + kSwitchCount * 7;
// Bytes of an ESC/POS connection check: initialise twice, select, enter, leave.
constexpr std::size_t kCheckBytes = 2 + 2 + 3 + 8 + 9;

bool Connect(CSerialLink& link, const VirtualDisplay& display, TransactionHost& host) {
    return CheckConnection(link, SettingsFor(display), kEscPos, host) == CheckOutcome::Connected;
}

int Uniform(std::mt19937_64& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

// The digits a switch write puts on the display: bytes 8..15 of the command.
Digits SentDigits(int group, const SwitchBits& bits) {
    const CommandRow row = WriteSwitch(static_cast<Byte>(kFirstSwitch + group), bits);
    Digits digits{};
    std::copy(row.bytes.begin() + 7, row.bytes.begin() + 15, digits.begin());
    return digits;
}

// What a read of these digits yields, through the reply parser itself.
SwitchBits BitsOf(const Digits& digits) {
    std::array<Byte, kQueryReplyLength> reply{};
    std::copy(digits.begin(), digits.end(), reply.begin() + 2);
    return ParseQueryReply(reply);
}

DigitSet DisplayDigits(const VirtualDisplay& display) {
    DigitSet digits{};
    for (int group = 0; group < kSwitchCount; ++group) {
        digits[group] = display.SwitchDigits(kFirstSwitch + group);
    }
    return digits;
}

bool ReadMatches(const SwitchSet& read, const DigitSet& digits) {
    for (int group = 0; group < kSwitchCount; ++group) {
        if (read[group] != BitsOf(digits[group])) {
            return false;
        }
    }
    return true;
}

SoakFault ChooseFault(std::mt19937_64& random, double faultShare) {
    if (std::uniform_real_distribution<double>(0, 1)(random) >= faultShare) {
        return SoakFault::None;
    }
    // The hang-up in the writes is the fault that matters most; it gets a double share.
    const int pick = Uniform(random, 0, kSoakFaultCount - 1);
    return pick == 0 ? SoakFault::HangUpInWrites : static_cast<SoakFault>(pick);
}

// Returns, for a hang-up in the writes, which switch write (1..5) the hang-up cuts.
int Apply(VirtualDisplay& display, SoakFault fault, std::mt19937_64& random) {
    switch (fault) {
        case SoakFault::None:
            display.SetFault(VirtualDisplay::Fault::None);
            break;
        case SoakFault::HangUpInWrites: {
            const int after =
                Uniform(random, kBytesBeforeWrites + 1, kBytesBeforeWrites + kSwitchWriteBytes);
            display.SetFault(VirtualDisplay::Fault::HangUp);
            display.SetHangUpAfterBytes(static_cast<std::size_t>(after));
            return (after - static_cast<int>(kBytesBeforeWrites) - 1) / 15 + 1;
        }
        case SoakFault::HangUpInRead:
            display.SetFault(VirtualDisplay::Fault::HangUp);
            display.SetHangUpAfterBytes(static_cast<std::size_t>(Uniform(random, 1, kReadBytes)));
            break;
        case SoakFault::Silent:
            display.SetFault(VirtualDisplay::Fault::Silent);
            break;
        case SoakFault::NoiseBeforeSync:
            display.SetFault(VirtualDisplay::Fault::NoiseBeforeSync);
            break;
        case SoakFault::CutAfterSync:
            display.SetFault(VirtualDisplay::Fault::CutAfterSync);
            break;
        case SoakFault::EndlessNoise:
            display.SetFault(VirtualDisplay::Fault::EndlessNoise);
            break;
        case SoakFault::WrongIdentity:
            display.SetFault(VirtualDisplay::Fault::WrongIdentity);
            break;
        case SoakFault::HangUpInCheck:
            display.SetFault(VirtualDisplay::Fault::HangUp);
            display.SetHangUpAfterBytes(static_cast<std::size_t>(Uniform(random, 1, kCheckBytes)));
            break;
    }
    return 0;
}

}  // namespace

const char* SoakFaultName(SoakFault fault) {
    static constexpr const char* kNames[kSoakFaultCount] = {
        "none",          "hang-up in writes", "hang-up in read",
        "silent",        "noise before sync", "cut after sync",
        "endless noise", "wrong identity",    "hang-up in check",
    };
    return kNames[static_cast<int>(fault)];
}

CycleResult RunSoakCycle(std::uint64_t seed, std::uint64_t index, double faultShare) {
    const auto started = std::chrono::steady_clock::now();
    std::seed_seq sequence{static_cast<std::uint32_t>(seed), static_cast<std::uint32_t>(seed >> 32),
                           static_cast<std::uint32_t>(index),
                           static_cast<std::uint32_t>(index >> 32)};
    std::mt19937_64 random(sequence);
    CycleResult result;

    // The display starts from random switches, so that every set has something to change.
    VirtualDisplay display;
    SwitchGrid grid;
    for (int group = 0; group < kSwitchCount; ++group) {
        Digits digits{};
        for (auto& digit : digits) {
            digit = static_cast<std::uint8_t>('0' + Uniform(random, 0, 1));
        }
        display.SetSwitchDigits(kFirstSwitch + group, digits);
        grid.StoreBits(group, BitsOf(digits));
    }
    // The operator's choices, applied as the editor applies them.
    ApplyCodeTable(grid, Uniform(random, 0, kCodeTableItems.size() - 1));
    ApplyIntlSet(grid, Uniform(random, 0, kIntlSetItems.size() - 1));
    ApplyBrightness(grid, Uniform(random, 0, kBrightnessItems.size() - 1));
    ApplyPeripheral(grid, Uniform(random, 0, kPeripheralItems.size() - 1));
    ApplyCursorMode(grid, Uniform(random, 0, kCursorModeItems.size() - 1));
    SwitchSet carried{};
    DigitSet sent{};
    for (int group = 0; group < kSwitchCount; ++group) {
        carried[group] = grid.CarriedBits(group);
        sent[group] = SentDigits(group, carried[group]);
    }

    result.fault = ChooseFault(random, faultShare);
    // Faults that are not tied to one place fall in the first check, the set or the read.
    const bool anywhere =
        result.fault != SoakFault::None && result.fault != SoakFault::HangUpInWrites &&
        result.fault != SoakFault::HangUpInRead && result.fault != SoakFault::HangUpInCheck;
    const int site = anywhere ? Uniform(random, 0, 2) : -1;
    result.faultDuringCheck = result.fault == SoakFault::HangUpInCheck || site == 0;
    result.faultDuringSet = result.fault == SoakFault::HangUpInWrites || site == 1;

    ConsoleHost host(nullptr);
    {
        CSerialLink link;
        if (result.faultDuringCheck) {
            Apply(display, result.fault, random);
        }
        result.connected = Connect(link, display, host);
        result.checkFalseSuccess = result.connected && display.HungUp();
        if (result.connected) {
            if (result.faultDuringSet) {
                result.cutSwitchWrite = Apply(display, result.fault, random);
            }
            result.setComplete = WriteSwitches(link, host, carried) == WriteOutcome::Complete;
        }
    }
    result.displayTookAll = DisplayDigits(display) == sent;
    result.hungUp = display.HungUp();
    // A failed set ends without the closing waits, and on a busy machine the last
    // command may still be on its way through the pseudo-terminal: look again
    // before calling the display stuck.
    result.leftInUserSetting = !result.hungUp && display.InUserSettingMode();
    if (result.leftInUserSetting) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        result.leftInUserSetting = display.InUserSettingMode();
    }

    // The read back runs on a fresh link, so nothing a fault left in the line spills over.
    if (result.connected && !result.hungUp) {
        display.SetFault(VirtualDisplay::Fault::None);
        CSerialLink link;
        if (Connect(link, display, host)) {
            if (!result.faultDuringSet && !result.faultDuringCheck) {
                Apply(display, result.fault, random);
            }
            SwitchSet read{};
            result.readBack = ReadSwitches(link, host, read) == ReadOutcome::Complete;
            if (result.readBack) {
                result.readDiffersFromDisplay = !ReadMatches(read, DisplayDigits(display));
                result.readDiffersFromSet = result.setComplete && !ReadMatches(read, sent);
            }
        }
        result.hungUp = display.HungUp();
    }
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return result;
}

}  // namespace tessaly
