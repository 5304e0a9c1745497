// A customer display that lives on a pseudo-terminal: the tests, the demo and
// the command line talk to it exactly as they would to the real device.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tessaly {

class VirtualDisplay {
public:
    enum class Fault {
        None,
        Silent,          // reads everything, answers nothing
        NoiseBeforeSync, // a few stray bytes before each 0x57
        WrongIdentity,   // user setting answer 0x57 0x23 0x20 ..
        CutAfterSync,    // every answer stops right after 0x57
        EndlessNoise,    // answers with bytes that never include 0x57
        HangUp,          // closes its side after HangUpAfterBytes() bytes received
    };

    VirtualDisplay();  // opens the pseudo-terminal and starts answering
    ~VirtualDisplay(); // stops the thread and closes the master side
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    // Path of the slave side, e.g. /dev/pts/3: open this as the serial port.
    const std::string& DevicePath() const { return m_devicePath; }

    void SetFault(Fault fault);
    void SetHangUpAfterBytes(std::size_t count);

    // Switch n (10..14) as eight digit bytes, d1 (bit 8) first, as the display
    // sends them. Fresh displays hold "00000000" everywhere.
    std::array<std::uint8_t, 8> SwitchDigits(int n) const;
    void SetSwitchDigits(int n, const std::array<std::uint8_t, 8>& digits);
    // Convenience: bit k (1..8) of switch n.
    bool SwitchBit(int n, int bit) const;

    bool InUserSettingMode() const;
    // Every byte received since construction or the last ClearReceived().
    std::vector<std::uint8_t> Received() const;
    void ClearReceived();
    // Stops answering and closes the master side now (a pulled cable).
    void HangUpNow();

private:
    void Run();
    // ... implementation detail members are the implementer's.
    std::string m_devicePath;
    int m_master = -1;
    mutable std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

}  // namespace tessaly
