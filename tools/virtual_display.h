// A customer display that lives on a pseudo-terminal: the tests, the demo and
// the command line talk to it exactly as they would to the real device.
// On Windows the pseudo-terminal is a Linux one that a socat process holds and
// relays to a TCP port ($TESSALY_VDISPLAY_PORT); the prefix maps COM5 to it,
// and the display serves the TCP stream (see win32_virtual_display.cpp).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "tools/display_responder.h"

namespace tessaly {

class VirtualDisplay {
public:
    // None: answers every command as a real display does.
    // Silent: reads everything, answers nothing.
    // NoiseBeforeSync: a few stray bytes (DisplayResponder::kStrayBytes) before each 0x57.
    // WrongIdentity: user setting answer 0x57 0x23 0x20 ..
    // CutAfterSync: every answer stops right after 0x57.
    // EndlessNoise: once an answer is due, streams bytes that never include 0x57.
    // HangUp: closes its side after HangUpAfterBytes() bytes received.
    // Stall: after HangUpAfterBytes() bytes received (and answered) holds the line
    //   stopped, as a lowered CTS would: the client's writes no longer go out.
    // NoTrailingByte: switch query replies end with the last digit; the byte that
    //   follows it on other displays is left out.
    using Fault = DisplayFault;

    VirtualDisplay();  // opens the pseudo-terminal and starts answering; throws on failure
    // Serves the master side of a pseudo-terminal someone else opened (a mocked
    // device node's); the display takes it over and closes it at the end.
    // Linux only: on Windows it throws.
    explicit VirtualDisplay(int master);
    ~VirtualDisplay();  // stops the thread and closes the master side
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Path of the slave side, e.g. /dev/pts/3 (COM5 on Windows): open this as the serial port.
    const std::string& DevicePath() const { return m_devicePath; }

    void SetFault(Fault fault);
    // Counts from the moment a fault is chosen or the count is set, whichever is
    // later; the byte that reaches the count is recorded but not answered.
    void SetHangUpAfterBytes(std::size_t count);
    std::size_t HangUpAfterBytes() const;

    // Switch n (10..14) as eight digit bytes, d1 (bit 8) first, as the display
    // sends them. Fresh displays hold "00000000" everywhere.
    std::array<std::uint8_t, 8> SwitchDigits(int n) const;
    void SetSwitchDigits(int n, const std::array<std::uint8_t, 8>& digits);

    // A display set to one line speed hears nothing but noise at any other: bytes
    // that arrive while the line runs at another speed are neither recorded nor
    // answered. 0 (the start) hears every speed.
    void SetLineSpeed(int baud);

    bool InUserSettingMode() const;
    // Every byte received since construction or the last ClearReceived(). Like
    // InUserSettingMode, it first waits (at most about a second) until the bytes the
    // client has written are taken in, so a test may call it as a transaction returns.
    std::vector<std::uint8_t> Received() const;
    void ClearReceived();
    // Stops answering and closes the master side now (a pulled cable).
    void HangUpNow();
    bool HungUp() const { return m_hungUp; }
    // Holds the client's output stopped from now on (see Stall).
    void StallNow();

    // "none", "silent", "noise-before-sync", "wrong-identity", "cut-after-sync",
    // "endless-noise", "hang-up", "stall", "no-trailing-byte".
    static std::optional<Fault> FaultFromName(std::string_view name);

private:
    void Start(int master);
    bool AtLineSpeed() const;
    void Run();
    // Records and answers what one read brought; false once the display hangs up.
    bool TakeIn(const std::uint8_t* bytes, std::size_t count);
    void SendNoise();
    void Send(const std::vector<std::uint8_t>& bytes);
    void CloseMaster();
    void Settle() const;
    // Windows: takes the display's own mark out of what one read brought.
    std::vector<std::uint8_t> WithoutMarker(const std::uint8_t* bytes, std::size_t count,
                                            bool& marked);

    std::string m_devicePath;
    int m_master = -1;
    // Held open so that the master never sees a hang-up when the client closes the port;
    // write-only, so that nothing takes it for a program reading the display's answers.
    int m_slaveKeeper = -1;
    int m_wakeRead = -1;
    int m_wakeWrite = -1;
    // Windows: the relay's socket stands for the master side; the keeper is the display's
    // own handle of the COM port, through which it marks the stream and reads the line.
    std::uintptr_t m_socket = ~std::uintptr_t{0};
    void* m_keeper = nullptr;
    mutable std::uint32_t m_markerSerial = 0;
    mutable std::vector<std::uint8_t> m_marker;  // guarded by m_mutex, as the match below
    mutable std::size_t m_markerMatched = 0;
    mutable std::atomic<bool> m_markerSeen{false};
    mutable std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_busy{false};
    std::atomic<bool> m_hungUp{false};

    // Guarded by m_mutex.
    DisplayResponder m_responder;
    std::size_t m_hangUpAfter = 0;
    int m_lineSpeed = 0;
    std::size_t m_bytesTowardHangUp = 0;
    bool m_stalled = false;
    std::vector<std::uint8_t> m_received;
};

}  // namespace tessaly
