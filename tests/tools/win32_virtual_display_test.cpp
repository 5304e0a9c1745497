// The virtual display under wine, through COM5 as a client opens it: what the
// relay and the display's own marks must not change, and the line faults that
// reach it through the display's handle of the port.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tools/virtual_display.h"

namespace tessaly {
namespace {

using Bytes = std::vector<std::uint8_t>;

class Client {
public:
    explicit Client(DWORD baud) {
        m_port = CreateFileW(L"\\\\.\\COM5", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, 0, nullptr);
        DCB line{};
        line.DCBlength = sizeof line;
        GetCommState(m_port, &line);
        line.BaudRate = baud;
        line.ByteSize = 8;
        line.Parity = NOPARITY;
        line.StopBits = ONESTOPBIT;
        SetCommState(m_port, &line);
        COMMTIMEOUTS timeouts{};
        timeouts.WriteTotalTimeoutConstant = 300;
        SetCommTimeouts(m_port, &timeouts);
    }
    ~Client() { CloseHandle(m_port); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    bool Open() const { return m_port != INVALID_HANDLE_VALUE; }
    // The bytes that went out.
    DWORD Write(const Bytes& bytes) {
        DWORD written = 0;
        if (!WriteFile(m_port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
            return 0;
        }
        return written;
    }

private:
    HANDLE m_port = INVALID_HANDLE_VALUE;
};

// Bytes that begin as the display's mark does, alone, cut short and whole with a
// serial number of their own, are the client's and stay in order.
TEST(Win32VirtualDisplay, BytesThatLookLikeItsMarkAreReceivedAsWritten) {
    VirtualDisplay display;
    ASSERT_EQ(display.DevicePath(), "COM5");
    Client client(115200);
    ASSERT_TRUE(client.Open());
    const Bytes markStart = {0xA5, 0x5A, 0xC3, 0x3C, 0x96, 0x69, 0xF0, 0x0F};
    for (const Bytes& sent :
         {Bytes{0x10, 0xA5}, Bytes{0xA5, 0x5A, 0xC3, 0x00, 0xA5},
          Bytes{0xA5, 0x5A, 0xC3, 0x3C, 0x96, 0x69, 0xF0, 0x0F, 9, 9, 9, 9}, markStart}) {
        ASSERT_EQ(client.Write(sent), sent.size());
        EXPECT_EQ(display.Received(), sent);
        display.ClearReceived();
    }
}

TEST(Win32VirtualDisplay, AtAnotherLineSpeedNothingIsReceived) {
    VirtualDisplay display;
    display.SetLineSpeed(9600);
    {
        Client fast(115200);
        ASSERT_TRUE(fast.Open());
        ASSERT_EQ(fast.Write({0x1B, 0x40}), 2u);
        EXPECT_TRUE(display.Received().empty());
    }
    Client slow(9600);
    ASSERT_EQ(slow.Write({0x1B, 0x40}), 2u);
    EXPECT_EQ(display.Received(), (Bytes{0x1B, 0x40}));
}

TEST(Win32VirtualDisplay, AStalledLineTakesNothing) {
    VirtualDisplay display;
    Client client(115200);
    ASSERT_TRUE(client.Open());
    display.StallNow();
    EXPECT_EQ(client.Write({0x1B, 0x40}), 0u);
}

TEST(Win32VirtualDisplay, AfterAHangUpTheClientsWritesFail) {
    VirtualDisplay display;
    Client client(115200);
    ASSERT_TRUE(client.Open());
    display.HangUpNow();
    EXPECT_TRUE(display.HungUp());
    EXPECT_EQ(client.Write({0x1B, 0x40}), 0u);
}

}  // namespace
}  // namespace tessaly
