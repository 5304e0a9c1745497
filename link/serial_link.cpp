#include "link/serial_link.h"

#include <cstdlib>
#include <utility>

#include "link/posix_modem_lines.h"
#include "link/posix_port_io.h"
#include "link/posix_port_setup.h"

namespace tessaly {

std::string ResolvePortName(const std::string& portName) {
    const std::string prefix = "COM";
    if (portName.size() <= prefix.size() || portName.compare(0, prefix.size(), prefix) != 0 ||
        portName.size() > prefix.size() + 4) {
        return portName;
    }
    int number = 0;
    for (std::size_t i = prefix.size(); i < portName.size(); ++i) {
        if (portName[i] < '0' || portName[i] > '9') {
            return portName;
        }
        number = number * 10 + (portName[i] - '0');
    }
    if (number < 1) {
        return portName;
    }
    const std::string variable = "TESSALY_COM" + std::to_string(number);
    const char* mapped = std::getenv(variable.c_str());
    if (mapped != nullptr && *mapped != '\0') {
        return mapped;
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

CSerialLink::CSerialLink() : CSerialLink(std::make_unique<TermiosModemLines>()) {}

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
    const int fd = OpenTermiosPort(ResolvePortName(m_settings.portName), m_settings, m_failure);
    if (fd < 0) {
        return false;
    }
    m_fd = fd;
    m_applied = m_settings.timeouts;
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
    return WriteBounded(m_fd, buffer, length, *m_modemLines, bound);
}

unsigned CSerialLink::Read(std::uint8_t* buffer, unsigned length, unsigned /*timeoutMs*/) {
    if (m_open == 0 || buffer == nullptr || length == 0) {
        return 0;
    }
    std::lock_guard<std::mutex> hold(m_ioLock);
    return ReadWithTimeouts(m_fd, buffer, length, m_applied);
}

void CSerialLink::Close() {
    if (m_fd >= 0) {
        ReleaseTermiosPort(m_fd, kWriteBoundMs);
    }
    m_fd = -1;
    m_open = 0;
}

}  // namespace tessaly
