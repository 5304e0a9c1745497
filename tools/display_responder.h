// What the virtual display does with each byte it receives: it takes whole
// commands off the stream, keeps the memory switches and the user setting mode,
// and says what to answer. No device and no thread here; VirtualDisplay feeds it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tessaly {

enum class DisplayFault {
    None,
    Silent,
    NoiseBeforeSync,
    WrongIdentity,
    CutAfterSync,
    EndlessNoise,
    HangUp,
    Stall,
    NoTrailingByte,
};

class DisplayResponder {
public:
    using Digits = std::array<std::uint8_t, 8>;

    // Answer to CMD_SELECT_DISPLAY; it holds no 0x57, so a late arrival reads as noise.
    static constexpr std::array<std::uint8_t, 3> kSelectReply{0x06, 0x00, 0x00};
    // What NoiseBeforeSync puts in front of each 0x57: identity bytes among them, so
    // that a reader that does not wait for the sync byte misreads.
    static constexpr std::array<std::uint8_t, 5> kStrayBytes{0x00, 0x23, 0x1F, 0xFF, 0x30};

    DisplayResponder();

    // Appends to `answer` whatever the display sends back once `byte` has arrived.
    void TakeByte(std::uint8_t byte, std::vector<std::uint8_t>& answer);

    void SetFault(DisplayFault fault);
    DisplayFault Fault() const { return m_fault; }
    // True once a command was due an answer under EndlessNoise.
    bool NoiseStreaming() const { return m_noiseStreaming; }
    // The next bytes of the endless noise: never 0x57.
    void NextNoise(std::uint8_t* out, std::size_t count);

    bool InUserSettingMode() const { return m_userSetting; }
    static bool IsSwitch(int n);
    // Switch n (10..14), d1 (bit 8) first; all "0" for any other n.
    Digits SwitchDigits(int n) const;
    void SetSwitchDigits(int n, const Digits& digits);

private:
    // Each returns the length of the command at the front of m_pending once it is
    // complete, 0 while bytes are missing.
    std::size_t TakeEscape(std::vector<std::uint8_t>& answer);
    std::size_t TakeUnitSeparator(std::vector<std::uint8_t>& answer);
    std::size_t TakeFramed() const;
    void RunUserSettingFunction(std::size_t length, std::vector<std::uint8_t>& answer);
    void Answer(std::vector<std::uint8_t>& answer, std::vector<std::uint8_t> reply);

    DisplayFault m_fault = DisplayFault::None;
    bool m_userSetting = false;
    bool m_noiseStreaming = false;
    std::uint8_t m_noiseNext = 0;
    std::array<Digits, 5> m_switches;
    std::vector<std::uint8_t> m_pending;  // start of a command not yet complete
};

}  // namespace tessaly
