#include "tools/display_responder.h"

#include <algorithm>

namespace tessaly {

namespace {

constexpr std::uint8_t kSync = 0x57;
constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kUs = 0x1F;
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr int kFirstSwitch = 10;
constexpr int kSwitchCount = 5;
// A framed command that never closes is dropped after this many bytes, so that
// a stray STX cannot swallow everything that follows.
constexpr std::size_t kLongestFrame = 64;
// US ( E: five bytes of prefix and count, then the counted bytes.
constexpr std::size_t kUserSettingHeader = 5;
constexpr std::size_t kSwitchWriteLength = 15;

enum UserSettingFunction : std::uint8_t { kEnter = 1, kExit = 2, kWriteSwitch = 3, kQuery = 4 };

}  // namespace

DisplayResponder::DisplayResponder() {
    for (auto& digits : m_switches) {
        digits.fill(0x30);
    }
}

bool DisplayResponder::IsSwitch(int n) {
    return n >= kFirstSwitch && n < kFirstSwitch + kSwitchCount;
}

DisplayResponder::Digits DisplayResponder::SwitchDigits(int n) const {
    Digits zeros;
    zeros.fill(0x30);
    return IsSwitch(n) ? m_switches[n - kFirstSwitch] : zeros;
}

void DisplayResponder::SetSwitchDigits(int n, const Digits& digits) {
    if (IsSwitch(n)) {
        m_switches[n - kFirstSwitch] = digits;
    }
}

void DisplayResponder::SetFault(DisplayFault fault) {
    m_fault = fault;
    m_noiseStreaming = false;
}

void DisplayResponder::NextNoise(std::uint8_t* out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (m_noiseNext == kSync) {
            ++m_noiseNext;
        }
        out[i] = m_noiseNext++;
    }
}

// Whole commands leave the front of m_pending as they complete; an unknown
// byte is dropped on its own so that the stream finds its footing again.
void DisplayResponder::TakeByte(std::uint8_t byte, std::vector<std::uint8_t>& answer) {
    m_pending.push_back(byte);
    while (!m_pending.empty()) {
        std::size_t used = 1;
        if (m_pending[0] == kEsc) {
            used = TakeEscape(answer);
        } else if (m_pending[0] == kUs) {
            used = TakeUnitSeparator(answer);
        } else if (m_pending[0] == kStx) {
            used = TakeFramed();
        }
        if (used == 0) {
            return;
        }
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(used));
    }
}

std::size_t DisplayResponder::TakeEscape(std::vector<std::uint8_t>& answer) {
    const auto& p = m_pending;
    if (p.size() < 2) {
        return 0;
    }
    if (p[1] == 0x40) {
        return 2;  // initialise
    }
    if (p[1] != 0x3D) {
        return 1;
    }
    if (p.size() < 3) {
        return 0;
    }
    Answer(answer, {kSelectReply.begin(), kSelectReply.end()});
    return 3;
}

std::size_t DisplayResponder::TakeUnitSeparator(std::vector<std::uint8_t>& answer) {
    const auto& p = m_pending;
    if (p.size() < 2) {
        return 0;
    }
    if (p[1] == 0x40) {
        return 2;  // self test: the display shows it, nothing goes back
    }
    if (p[1] != 0x28) {
        return 1;
    }
    if (p.size() < 3) {
        return 0;
    }
    if (p[2] != 0x45) {
        return 1;
    }
    if (p.size() < kUserSettingHeader) {
        return 0;
    }
    const std::size_t length = kUserSettingHeader + p[3] + (std::size_t{p[4]} << 8);
    if (p.size() < length) {
        return 0;
    }
    RunUserSettingFunction(length, answer);
    return length;
}

void DisplayResponder::RunUserSettingFunction(std::size_t length,
                                              std::vector<std::uint8_t>& answer) {
    const auto& p = m_pending;
    const int function = length > kUserSettingHeader ? p[kUserSettingHeader] : -1;
    const int n = length > kUserSettingHeader + 1 ? p[kUserSettingHeader + 1] : -1;
    if (function == kEnter) {
        m_userSetting = true;
        const std::uint8_t second = m_fault == DisplayFault::WrongIdentity ? 0x20 : 0x1F;
        Answer(answer, {kSync, 0x23, second, 0x00});
    } else if (function == kExit) {
        m_userSetting = false;
    } else if (function == kWriteSwitch) {
        // Outside user setting mode the display ignores switch writes.
        if (m_userSetting && length >= kSwitchWriteLength && IsSwitch(n)) {
            std::copy(p.begin() + 7, p.begin() + 15, m_switches[n - kFirstSwitch].begin());
        }
    } else if (function == kQuery) {
        const Digits digits = SwitchDigits(n);
        std::vector<std::uint8_t> reply{kSync, 0x22, static_cast<std::uint8_t>(n)};
        reply.insert(reply.end(), digits.begin(), digits.end());
        if (m_fault != DisplayFault::NoTrailingByte) {
            reply.push_back(0x00);
        }
        Answer(answer, std::move(reply));
    }
}

std::size_t DisplayResponder::TakeFramed() const {
    const auto end = std::find(m_pending.begin() + 1, m_pending.end(), kEtx);
    if (end != m_pending.end()) {
        return static_cast<std::size_t>(end - m_pending.begin()) + 1;
    }
    return m_pending.size() < kLongestFrame ? 0 : m_pending.size();
}

void DisplayResponder::Answer(std::vector<std::uint8_t>& answer, std::vector<std::uint8_t> reply) {
    const bool synced = !reply.empty() && reply[0] == kSync;
    switch (m_fault) {
        case DisplayFault::Silent:
            return;
        case DisplayFault::EndlessNoise:
            m_noiseStreaming = true;
            return;
        case DisplayFault::CutAfterSync:
            if (synced) {
                reply.resize(1);
            }
            break;
        case DisplayFault::NoiseBeforeSync:
            if (synced) {
                answer.insert(answer.end(), kStrayBytes.begin(), kStrayBytes.end());
            }
            break;
        default:
            break;
    }
    answer.insert(answer.end(), reply.begin(), reply.end());
}

}  // namespace tessaly
