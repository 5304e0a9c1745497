#include "tests/tools/pty_client.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace tessaly::testing {

PtyClient::PtyClient(const std::string& path) {
    m_fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

PtyClient::~PtyClient() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

void PtyClient::Send(const Bytes& bytes) {
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t count = write(m_fd, bytes.data() + sent, bytes.size() - sent);
        if (count <= 0) {
            return;
        }
        sent += static_cast<std::size_t>(count);
    }
}

Bytes PtyClient::Receive(std::size_t count, std::chrono::milliseconds within) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + within;
    Bytes got;
    while (got.size() < count) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            break;
        }
        pollfd in{m_fd, POLLIN, 0};
        if (poll(&in, 1, static_cast<int>(left.count())) <= 0) {
            break;
        }
        std::uint8_t byte[64];
        const ssize_t n = read(m_fd, byte, std::min(sizeof byte, count - got.size()));
        if (n <= 0) {
            break;  // hang-up: EIO from a pseudo-terminal whose master is gone
        }
        got.insert(got.end(), byte, byte + n);
    }
    return got;
}

Bytes PtyClient::ReceiveUntilQuiet(std::chrono::milliseconds quiet) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    Bytes got;
    while (std::chrono::steady_clock::now() < deadline) {
        Bytes more = Receive(4096, quiet);
        if (more.empty()) {
            break;
        }
        got.insert(got.end(), more.begin(), more.end());
    }
    return got;
}

}  // namespace tessaly::testing
