#include "link/serial_link.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "link/port_access.h"

namespace tessaly {

unsigned DrainBoundMs(const LinkSettings& settings, std::uint64_t bytes) {
    const std::uint64_t bits = 1 + static_cast<std::uint64_t>(std::max(settings.dataBits, 5)) +
                               (settings.parity != 0 ? 1 : 0) + (settings.stopBits != 0 ? 2 : 1);
    const std::uint64_t baud = static_cast<std::uint64_t>(std::max(settings.baud, 50));
    const std::uint64_t wire = (bytes * bits * 1000 + baud - 1) / baud;
    return static_cast<unsigned>(std::min<std::uint64_t>(wire + kDrainMarginMs, kWriteBoundMs));
}

CSerialLink::CSerialLink() : CSerialLink(PlatformModemLines()) {}

CSerialLink::CSerialLink(std::unique_ptr<ModemLines> modemLines)
    : m_modemLines(std::move(modemLines)) {}

CSerialLink::~CSerialLink() {
    Close();
}

bool CSerialLink::Configure(LinkSettings settings) {
    const bool named = !settings.portName.empty();
    m_failure = OpenFailure{};
    if (!named) {
        settings.portName = m_settings.portName;
        m_failure.step = OpenStep::NoName;
    }
    m_settings = std::move(settings);
    return named;
}

bool CSerialLink::Open() {
    if (m_fd >= 0) {
        return true;  // already open: no reopening, no new line state, no purge
    }
    const int fd = OpenPort(m_settings.portName, m_settings, m_failure);
    if (fd < 0) {
        return false;
    }
    m_fd = fd;
    m_applied = m_settings.timeouts;
    m_line = LineState::Sound;
    m_open = 1;
    return true;
}

unsigned CSerialLink::Write(const std::uint8_t* buffer, unsigned length) {
    if (m_open == 0 || buffer == nullptr || length == 0) {
        return 0;
    }
    const std::uint64_t limit =
        std::uint64_t{m_applied.writeTotalMultiplier} * length + m_applied.writeTotalConstant;
    const unsigned bound =
        limit != 0 && limit < kWriteBoundMs ? static_cast<unsigned>(limit) : kWriteBoundMs;
    std::lock_guard<std::mutex> hold(m_ioLock);
    const unsigned written = WriteBounded(m_fd, buffer, length, *m_modemLines, bound);
    m_undrained += written;
    if (written < length) {
        NoteLine();
    }
    return written;
}

unsigned CSerialLink::Read(std::uint8_t* buffer, unsigned length, unsigned /*timeoutMs*/) {
    if (m_open == 0 || buffer == nullptr || length == 0) {
        return 0;
    }
    std::lock_guard<std::mutex> hold(m_ioLock);
    const unsigned got = ReadWithTimeouts(m_fd, buffer, length, m_applied);
    if (got < length) {
        NoteLine();
    }
    return got;
}

bool CSerialLink::Drain() {
    std::lock_guard<std::mutex> hold(m_ioLock);
    if (m_fd < 0) {
        return false;
    }
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(DrainBoundMs(m_settings, m_undrained));
    m_undrained = 0;
    const bool drained = DrainOutput(m_fd, end);
    NoteLine();
    return drained && m_line == LineState::Sound;
}

LineState CSerialLink::Line() {
    std::lock_guard<std::mutex> hold(m_ioLock);
    if (m_fd >= 0) {
        NoteLine();
    }
    return m_line;
}

void CSerialLink::NoteLine() {
    if (m_line == LineState::Sound) {
        m_line = ProbeLine(m_fd);
    }
}

void CSerialLink::Close() {
    if (m_fd >= 0) {
        ReleasePort(m_fd, kWriteBoundMs);
    }
    m_fd = -1;
    m_open = 0;
    m_undrained = 0;
    m_line = LineState::Sound;
}

}  // namespace tessaly
