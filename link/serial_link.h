// The one serial port through which Tessaly talks to the display. It moves
// bytes and knows nothing of commands or replies.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "link/open_failure.h"

namespace tessaly {

struct LinkTimeouts {
    std::uint32_t readInterval = 0;
    std::uint32_t readTotalMultiplier = 0;
    std::uint32_t readTotalConstant = 0;
    std::uint32_t writeTotalMultiplier = 0;
    std::uint32_t writeTotalConstant = 0;
};

struct LinkSettings {
    std::string portName;  // "COM1".."COM10" or an absolute device path
    std::int32_t baud = 0;
    std::int32_t dataBits = 0;
    std::int32_t stopBits = 0;     // 0 = one, 1 = one and a half, 2 = two
    std::int32_t parity = 0;       // 0 = none, 1 = odd, 2 = even
    std::int32_t flowControl = 0;  // nonzero = XON/XOFF both ways, RTS held on
    LinkTimeouts timeouts;
};

// Settings the main window hands over: read timeouts 10/10/10 ms, no write limits.
inline constexpr LinkTimeouts kMainWindowTimeouts{10, 10, 10, 0, 0};

// Write gives up this long after it started when the device will not take the bytes
// (CTS or DSR low, or a buffer that never drains); write timeouts that give a shorter
// total (multiplier x length + constant, not 0) bound it sooner. Close waits at most
// as long for pending output before discarding it.
inline constexpr unsigned kWriteBoundMs = 2000;

// Read gives up this long after it started where the read timeouts set no total limit
// (all zero, or an interval only), where Windows would wait without end.
inline constexpr unsigned kUnboundedReadCapMs = 2000;

// How long the end of a send watches the line beyond the time its bytes need on the
// wire: the display (or an adapter) takes a moment to read them and act on them.
inline constexpr unsigned kDrainMarginMs = 100;

// The time `bytes` characters need on the wire at `settings`' speed and frame (a start
// bit, the data bits, a parity bit if any, the stop bits), rounded up, plus
// kDrainMarginMs; capped at kWriteBoundMs.
unsigned DrainBoundMs(const LinkSettings& settings, std::uint64_t bytes);

// What the device has told about the line since the link was opened. Bytes the
// device took before it hung up may never have reached the display.
enum class LineState { Sound, HungUp, Failed };

// Source of the CTS and DSR input lines, so that the output flow-control wait can
// be exercised without hardware that drives them.
class ModemLines {
public:
    virtual ~ModemLines() = default;
    enum class State { Asserted, Low, Unsupported, Failed };
    // State of CTS and DSR together: Asserted only when both are high.
    virtual State ClearToSend(int fd) = 0;
};

// The link on POSIX termios or the Win32 serial API. Opening, the timed transfers
// and the line state are the platform's (link/port_access.h); this class holds the
// state and the lock.
class CSerialLink {
public:
    CSerialLink();  // reads the platform's modem lines (TIOCMGET, GetCommModemStatus)
    explicit CSerialLink(std::unique_ptr<ModemLines> modemLines);
    virtual ~CSerialLink();
    CSerialLink(const CSerialLink&) = delete;
    CSerialLink& operator=(const CSerialLink&) = delete;

    bool Configure(LinkSettings settings);
    bool Open();
    // Virtual so that a dry run can take the transactions' writes instead of a port.
    virtual unsigned Write(const std::uint8_t* buffer, unsigned length);
    // timeoutMs is accepted and ignored: the configured timeouts govern the read.
    virtual unsigned Read(std::uint8_t* buffer, unsigned length, unsigned timeoutMs);
    void Close();
    // The end of a send that no answer or wait follows. True when the bytes written
    // since the last Drain left the port within DrainBoundMs and the line is still
    // sound after it: a full count from Write only says the driver took them, and a
    // display that hangs up as it reads them is seen here. Virtual so that a dry run
    // can count its sends as seen.
    virtual bool Drain();
    // Sound until the device reports a hang-up or an error after Open; from then on
    // what it reported, until Close. Asks the device each time while it is Sound, so
    // a hang-up is seen even when no read or write has run into it.
    virtual LineState Line();

    bool IsOpen() const { return m_open != 0; }
    const LinkSettings& Settings() const { return m_settings; }
    // Why the last Configure or Open failed; step None after one that succeeded.
    const OpenFailure& LastFailure() const { return m_failure; }

private:
    // Keeps a hang-up or an error the device reports now; called with m_ioLock held.
    void NoteLine();

    LinkSettings m_settings;
    LinkTimeouts m_applied;  // the timeouts taken by the last successful Open
    int m_fd = -1;           // the open port (link/port_access.h), -1 when closed
    int m_open = 0;
    std::uint64_t m_undrained = 0;        // bytes written since the last Drain; under m_ioLock
    LineState m_line = LineState::Sound;  // guarded by m_ioLock
    std::mutex m_ioLock;
    std::unique_ptr<ModemLines> m_modemLines;
    OpenFailure m_failure;
};

}  // namespace tessaly
