#include "link/serial_link.h"

#include <utility>

#include "link/port_access.h"

namespace tessaly {

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
    m_line = LineState::Sound;
}

}  // namespace tessaly
