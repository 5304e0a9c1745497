// Timed transfers on an open non-blocking serial descriptor: the platform side of
// CSerialLink::Read and CSerialLink::Write. The caller holds the link's I/O lock.
#pragma once

#include <chrono>
#include <cstdint>

#include "link/serial_link.h"

namespace tessaly {

// Reads up to `length` bytes into the start of `buffer` with the COMMTIMEOUTS meaning
// of `timeouts` (see posix_port_io.cpp) and returns how many arrived. Stops at once,
// with what it has, when the device hangs up or fails.
unsigned ReadWithTimeouts(int fd, std::uint8_t* buffer, unsigned length,
                          const LinkTimeouts& timeouts);

// Writes `length` bytes, waiting while `lines` reports CTS or DSR low and while the
// device takes no more; gives up `boundMs` after the start and returns the bytes the
// device accepted by then. Stops at once when the device hangs up or fails.
unsigned WriteBounded(int fd, const std::uint8_t* buffer, unsigned length, ModemLines& lines,
                      unsigned boundMs);

// Waits until the driver's output queue is empty or `end` passes; true when it emptied
// or the device keeps no count. A pseudo-terminal hands every byte to its peer at
// once and always reports it empty.
bool WaitOutputQueueEmpty(int fd, std::chrono::steady_clock::time_point end);

// The end of a send: waits for the output queue to empty, then watches the line until
// `end` (the time the bytes need on the wire and the display needs to act on them), so
// that a device that hangs up as it takes the last bytes is seen. True when the queue
// emptied and no hang-up or error came by `end`; returns at once on a hang-up.
bool DrainOutput(int fd, std::chrono::steady_clock::time_point end);

}  // namespace tessaly
