// What CSerialLink asks of the platform: open, configure and release a port, the
// timed transfers and the state of its line. An open port is an int on both
// platforms: the descriptor on POSIX; on Windows the HANDLE's value, which
// Windows keeps within 32 bits (HandleToLong) so that it crosses this interface.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "link/open_failure.h"
#include "link/serial_link.h"

namespace tessaly {

// Opens the port the operator named ("COMn" or a device path) exclusively, applies
// the line settings and the read timeouts, and purges both buffers. Returns the
// port, or -1 after releasing whatever it had opened; `failure` then names the step
// and keeps the system's error code.
int OpenPort(const std::string& portName, const LinkSettings& settings, OpenFailure& failure);

// Waits up to `drainMs` for pending output to leave, discards the rest, and closes.
void ReleasePort(int port, unsigned drainMs);

// Reads up to `length` bytes with the COMMTIMEOUTS meaning of `timeouts`, never
// longer than kUnboundedReadCapMs where they set no total bound; returns how many
// arrived.
unsigned ReadWithTimeouts(int port, std::uint8_t* buffer, unsigned length,
                          const LinkTimeouts& timeouts);

// Writes `length` bytes, waiting while `lines` reports CTS or DSR low and while the
// device takes no more; gives up `boundMs` after the start and returns the bytes the
// device accepted by then.
unsigned WriteBounded(int port, const std::uint8_t* buffer, unsigned length, ModemLines& lines,
                      unsigned boundMs);

// Waits until the driver's output queue is empty or `end` passes; true when it
// emptied or the device keeps no count.
bool WaitOutputQueueEmpty(int port, std::chrono::steady_clock::time_point end);

// The end of a send: waits for the output queue to empty, then watches the line until
// `end` (the time the bytes need on the wire and the display needs to act on them), so
// that a device that hangs up as it takes the last bytes is seen. True when the queue
// emptied and no hang-up or error came by `end`; returns at once on a hang-up.
bool DrainOutput(int port, std::chrono::steady_clock::time_point end);

// Sound, or what the device reported: a hang-up or another error. Never waits.
LineState ProbeLine(int port);

// The modem lines of the platform's serial driver.
std::unique_ptr<ModemLines> PlatformModemLines();

}  // namespace tessaly
