// What the display does with the bytes it takes in, the same on every platform;
// how they reach it is the platform's own (posix_ and win32_virtual_display.cpp).
#include <utility>

#include "tools/virtual_display.h"

namespace tessaly {

void VirtualDisplay::SetFault(Fault fault) {
    std::lock_guard<std::mutex> hold(m_mutex);
    m_responder.SetFault(fault);
    m_bytesTowardHangUp = 0;
}

void VirtualDisplay::SetLineSpeed(int baud) {
    std::lock_guard<std::mutex> hold(m_mutex);
    m_lineSpeed = baud;
}

void VirtualDisplay::SetHangUpAfterBytes(std::size_t count) {
    std::lock_guard<std::mutex> hold(m_mutex);
    m_hangUpAfter = count;
    m_bytesTowardHangUp = 0;
}

std::size_t VirtualDisplay::HangUpAfterBytes() const {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_hangUpAfter;
}

std::array<std::uint8_t, 8> VirtualDisplay::SwitchDigits(int n) const {
    Settle();
    std::lock_guard<std::mutex> hold(m_mutex);
    return DisplayResponder::IsSwitch(n) ? m_responder.SwitchDigits(n)
                                         : std::array<std::uint8_t, 8>{};
}

void VirtualDisplay::SetSwitchDigits(int n, const std::array<std::uint8_t, 8>& digits) {
    std::lock_guard<std::mutex> hold(m_mutex);
    m_responder.SetSwitchDigits(n, digits);
}

bool VirtualDisplay::InUserSettingMode() const {
    Settle();
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_responder.InUserSettingMode();
}

std::vector<std::uint8_t> VirtualDisplay::Received() const {
    Settle();
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_received;
}

void VirtualDisplay::ClearReceived() {
    Settle();
    std::lock_guard<std::mutex> hold(m_mutex);
    m_received.clear();
}

std::optional<VirtualDisplay::Fault> VirtualDisplay::FaultFromName(std::string_view name) {
    static constexpr std::pair<std::string_view, Fault> kNames[] = {
        {"none", Fault::None},
        {"silent", Fault::Silent},
        {"noise-before-sync", Fault::NoiseBeforeSync},
        {"wrong-identity", Fault::WrongIdentity},
        {"cut-after-sync", Fault::CutAfterSync},
        {"endless-noise", Fault::EndlessNoise},
        {"hang-up", Fault::HangUp},
        {"stall", Fault::Stall},
        {"no-trailing-byte", Fault::NoTrailingByte},
    };
    for (const auto& [text, fault] : kNames) {
        if (text == name) {
            return fault;
        }
    }
    return std::nullopt;
}

bool VirtualDisplay::TakeIn(const std::uint8_t* bytes, std::size_t count) {
    std::vector<std::uint8_t> answer;
    bool stall = false;
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        if (!AtLineSpeed()) {
            return true;
        }
        for (std::size_t i = 0; i < count; ++i) {
            m_received.push_back(bytes[i]);
            if (m_responder.Fault() == Fault::HangUp && ++m_bytesTowardHangUp >= m_hangUpAfter) {
                return false;
            }
            m_responder.TakeByte(bytes[i], answer);
            if (m_responder.Fault() == Fault::Stall && !m_stalled &&
                ++m_bytesTowardHangUp >= m_hangUpAfter) {
                stall = true;
            }
        }
    }
    if (stall) {
        StallNow();
    }
    Send(answer);
    return true;
}

}  // namespace tessaly
