// The client end of a virtual display for tests: the slave side opened raw,
// with bounded reads, so that a display that stays quiet cannot hang a test.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaly::testing {

using Bytes = std::vector<std::uint8_t>;

class PtyClient {
public:
    explicit PtyClient(const std::string& path);
    ~PtyClient();
    PtyClient(const PtyClient&) = delete;
    PtyClient& operator=(const PtyClient&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    void Send(const Bytes& bytes);
    // Reads until `count` bytes came or `within` passed, whichever is first.
    Bytes Receive(std::size_t count, std::chrono::milliseconds within);
    // Whatever arrives until the line has been quiet for `quiet` (two seconds at most).
    Bytes ReceiveUntilQuiet(std::chrono::milliseconds quiet);

private:
    int m_fd = -1;
};

}  // namespace tessaly::testing
