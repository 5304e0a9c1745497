// The display under wine. Wine maps COM5 to a Linux pseudo-terminal that a socat
// process holds and relays to 127.0.0.1:$TESSALY_VDISPLAY_PORT (one pseudo-terminal
// per connection, socat's fork mode); the display serves that TCP stream. Beside
// the stream it opens COM5 itself (the keeper): that handle keeps the terminal
// from hanging up when the client closes the port, reads the client's line
// speed, stops the client's output for a stall, and writes the marks that tell
// the display that every byte the client wrote before has come through.
#include <windows.h>
#include <winsock2.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>

#include "tools/virtual_display.h"

namespace tessaly {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kNoiseChunk = 32;
constexpr auto kSendBound = std::chrono::seconds(1);
constexpr auto kConnectBound = std::chrono::seconds(5);
constexpr auto kProbeBound = std::chrono::milliseconds(300);
constexpr auto kSettleBound = std::chrono::seconds(2);
constexpr auto kHangUpBound = std::chrono::seconds(2);
constexpr wchar_t kPort[] = L"\\\\.\\COM5";
// Marks start with bytes that no command of the protocol starts with; the serial
// number that follows tells one mark from the next.
constexpr std::uint8_t kMarkStart[] = {0xA5, 0x5A, 0xC3, 0x3C, 0x96, 0x69, 0xF0, 0x0F};

constexpr SOCKET AsSocket(std::uintptr_t value) {
    return static_cast<SOCKET>(value);
}

[[noreturn]] void ThrowWindows(const char* what, unsigned long code) {
    throw std::system_error(static_cast<int>(code), std::system_category(), what);
}

int RelayPort() {
    const char* text = std::getenv("TESSALY_VDISPLAY_PORT");
    const int port = text != nullptr ? std::atoi(text) : 0;
    if (port <= 0 || port > 65535) {
        throw std::runtime_error(
            "TESSALY_VDISPLAY_PORT must name the TCP port of the socat relay behind COM5");
    }
    return port;
}

SOCKET ConnectToRelay(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto deadline = Clock::now() + kConnectBound;
    // The relay may still be starting when the first display comes.
    for (;;) {
        const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (s == INVALID_SOCKET) {
            ThrowWindows("socket", static_cast<unsigned long>(WSAGetLastError()));
        }
        if (connect(s, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) {
            return s;
        }
        const int error = WSAGetLastError();
        closesocket(s);
        if (Clock::now() >= deadline) {
            ThrowWindows("connect to the relay", static_cast<unsigned long>(error));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Waits at most `bound` for the socket to become readable.
bool Readable(SOCKET s, std::chrono::milliseconds bound) {
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(s, &readable);
    timeval wait{static_cast<long>(bound.count() / 1000),
                 static_cast<long>(bound.count() % 1000) * 1000};
    return select(0, &readable, nullptr, nullptr, &wait) > 0;
}

bool WriteAll(HANDLE handle, const std::vector<std::uint8_t>& bytes) {
    DWORD written = 0;
    return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

HANDLE OpenKeeper() {
    HANDLE keeper =
        CreateFileW(kPort, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (keeper == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    // A stalled line must not hold a mark or a hang-up probe for ever.
    COMMTIMEOUTS timeouts{};
    timeouts.WriteTotalTimeoutConstant = 100;
    SetCommTimeouts(keeper, &timeouts);
    return keeper;
}

std::vector<std::uint8_t> MarkNumbered(std::uint32_t serial) {
    std::vector<std::uint8_t> mark(std::begin(kMarkStart), std::end(kMarkStart));
    for (int shift = 0; shift < 32; shift += 8) {
        mark.push_back(static_cast<std::uint8_t>(serial >> shift));
    }
    return mark;
}

}  // namespace

VirtualDisplay::VirtualDisplay() {
    WSADATA data{};
    if (const int error = WSAStartup(MAKEWORD(2, 2), &data); error != 0) {
        ThrowWindows("WSAStartup", static_cast<unsigned long>(error));
    }
    const SOCKET s = ConnectToRelay(RelayPort());
    m_socket = static_cast<std::uintptr_t>(s);
    m_devicePath = "COM5";
    // socat makes the pseudo-terminal and points the link at it only after it took
    // the connection, and an earlier display's link may still be there: the port is
    // ours once a mark written through it comes out of our own stream.
    const auto deadline = Clock::now() + kConnectBound;
    while (m_keeper == nullptr && Clock::now() < deadline) {
        HANDLE keeper = OpenKeeper();
        if (keeper == nullptr) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        const std::vector<std::uint8_t> mark = MarkNumbered(++m_markerSerial);
        // A mark of an earlier try that was only slow comes first: what counts is
        // that this one ends what the stream brought.
        const auto endsWithMark = [&mark](const std::vector<std::uint8_t>& seen) {
            return seen.size() >= mark.size() &&
                   std::equal(mark.rbegin(), mark.rend(), seen.rbegin());
        };
        std::vector<std::uint8_t> seen;
        const auto probeEnd = Clock::now() + kProbeBound;
        const bool written = WriteAll(keeper, mark);
        while (written && Clock::now() < probeEnd && !endsWithMark(seen)) {
            std::uint8_t byte = 0;
            if (Readable(s, std::chrono::milliseconds(20)) &&
                recv(s, reinterpret_cast<char*>(&byte), 1, 0) == 1) {
                seen.push_back(byte);
            }
        }
        if (written && endsWithMark(seen)) {
            m_keeper = keeper;
        } else {
            CloseHandle(keeper);
        }
    }
    if (m_keeper == nullptr) {
        closesocket(s);
        WSACleanup();
        throw std::runtime_error("COM5 does not lead to the relay's pseudo-terminal");
    }
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    m_thread = std::thread([this] { Run(); });
}

VirtualDisplay::VirtualDisplay(int) {
    throw std::logic_error("a pseudo-terminal's master side exists only on Linux");
}

VirtualDisplay::~VirtualDisplay() {
    HangUpNow();
    if (m_keeper != nullptr) {
        CloseHandle(m_keeper);
    }
    WSACleanup();
}

void VirtualDisplay::HangUpNow() {
    m_stop = true;
    if (m_thread.joinable()) {
        m_thread.join();
    }
    CloseMaster();
}

// Closing the stream makes socat close the terminal's master side; the display
// counts as hung up once its own handle of the port sees that, so that the
// client's next write fails as it would on Linux.
void VirtualDisplay::CloseMaster() {
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        if (m_socket == ~std::uintptr_t{0}) {
            return;
        }
        closesocket(AsSocket(m_socket));
        m_socket = ~std::uintptr_t{0};
    }
    const auto deadline = Clock::now() + kHangUpBound;
    const std::vector<std::uint8_t> probe{0};
    while (m_keeper != nullptr && Clock::now() < deadline && WriteAll(m_keeper, probe)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    m_hungUp = true;
}

void VirtualDisplay::StallNow() {
    std::lock_guard<std::mutex> hold(m_mutex);
    if (!m_stalled) {
        // Wine stops the terminal's output (tcflow) for every opener of it.
        EscapeCommFunction(m_keeper, SETXOFF);
        m_stalled = true;
    }
}

bool VirtualDisplay::AtLineSpeed() const {
    if (m_lineSpeed == 0) {
        return true;
    }
    DCB line{};
    line.DCBlength = sizeof line;
    return GetCommState(m_keeper, &line) && line.BaudRate == static_cast<DWORD>(m_lineSpeed);
}

// A mark written through the port follows every byte the client wrote before it
// through the terminal, socat and the stream; once the thread has taken it out,
// those bytes are taken in and answered. A stalled line holds marks back, so
// then the display only waits for its stream to be quiet.
void VirtualDisplay::Settle() const {
    std::vector<std::uint8_t> mark;
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        if (m_socket == ~std::uintptr_t{0} || m_keeper == nullptr) {
            return;
        }
        if (!m_stalled) {
            mark = MarkNumbered(++m_markerSerial);
            m_marker = mark;
            m_markerMatched = 0;
            m_markerSeen = false;
        }
    }
    const auto deadline = Clock::now() + kSettleBound;
    if (!mark.empty() && WriteAll(m_keeper, mark)) {
        while (!m_markerSeen && !m_hungUp && Clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return;
    }
    constexpr auto kQuiet = std::chrono::milliseconds(50);
    auto quietSince = Clock::now();
    while (Clock::now() < deadline && Clock::now() - quietSince < kQuiet) {
        u_long waiting = 0;
        {
            std::lock_guard<std::mutex> hold(m_mutex);
            if (m_socket == ~std::uintptr_t{0} ||
                ioctlsocket(AsSocket(m_socket), FIONREAD, &waiting) != 0) {
                return;
            }
        }
        if (waiting > 0 || m_busy) {
            quietSince = Clock::now();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

std::vector<std::uint8_t> VirtualDisplay::WithoutMarker(const std::uint8_t* bytes,
                                                        std::size_t count, bool& marked) {
    std::lock_guard<std::mutex> hold(m_mutex);
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; i < count; ++i) {
        if (m_marker.empty()) {
            data.push_back(bytes[i]);
            continue;
        }
        if (bytes[i] == m_marker[m_markerMatched]) {
            if (++m_markerMatched == m_marker.size()) {
                m_marker.clear();
                m_markerMatched = 0;
                marked = true;
            }
            continue;
        }
        // A partial match was the client's own bytes after all.
        data.insert(data.end(), m_marker.begin(),
                    m_marker.begin() + static_cast<std::ptrdiff_t>(m_markerMatched));
        m_markerMatched = 0;
        if (bytes[i] == m_marker[0]) {
            m_markerMatched = 1;
        } else {
            data.push_back(bytes[i]);
        }
    }
    return data;
}

void VirtualDisplay::Run() {
    const SOCKET s = AsSocket(m_socket);
    while (!m_stop) {
        bool streaming = false;
        {
            std::lock_guard<std::mutex> hold(m_mutex);
            streaming = m_responder.NoiseStreaming();
        }
        const bool readable = Readable(s, std::chrono::milliseconds(streaming ? 2 : 20));
        if (m_stop) {
            return;
        }
        if (streaming) {
            SendNoise();
        }
        if (!readable) {
            continue;
        }
        m_busy = true;
        std::uint8_t bytes[256];
        const int count = recv(s, reinterpret_cast<char*>(bytes), sizeof bytes, 0);
        if (count == 0 || (count < 0 && WSAGetLastError() != WSAEWOULDBLOCK)) {
            // The relay is gone: nothing reaches the display any more.
            m_busy = false;
            CloseMaster();
            return;
        }
        bool answering = true;
        if (count > 0) {
            bool marked = false;
            const std::vector<std::uint8_t> data =
                WithoutMarker(bytes, static_cast<std::size_t>(count), marked);
            answering = data.empty() || TakeIn(data.data(), data.size());
            // The mark counts only once the bytes before it are answered.
            if (marked) {
                m_markerSeen = true;
            }
        }
        m_busy = false;
        if (!answering) {
            CloseMaster();
            return;
        }
    }
}

// One chunk per call; what the relay cannot take falls away.
void VirtualDisplay::SendNoise() {
    char chunk[kNoiseChunk];
    std::lock_guard<std::mutex> hold(m_mutex);
    m_responder.NextNoise(reinterpret_cast<std::uint8_t*>(chunk), sizeof chunk);
    if (m_socket != ~std::uintptr_t{0}) {
        send(AsSocket(m_socket), chunk, sizeof chunk, 0);
    }
}

void VirtualDisplay::Send(const std::vector<std::uint8_t>& bytes) {
    const auto deadline = Clock::now() + kSendBound;
    std::size_t sent = 0;
    const SOCKET s = AsSocket(m_socket);
    while (sent < bytes.size() && Clock::now() < deadline && !m_stop) {
        const int count = send(s, reinterpret_cast<const char*>(bytes.data()) + sent,
                               static_cast<int>(bytes.size() - sent), 0);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
            continue;
        }
        if (count < 0 && WSAGetLastError() != WSAEWOULDBLOCK) {
            return;
        }
        fd_set writable;
        FD_ZERO(&writable);
        FD_SET(s, &writable);
        timeval wait{0, 10000};
        select(0, nullptr, &writable, nullptr, &wait);
    }
}

}  // namespace tessaly
