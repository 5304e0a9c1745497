// Pieces every device transaction shares: whole-command writes and the bounded
// wait for the display's synchronisation byte.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <functional>

#include "link/serial_link.h"
#include "protocol/commands.h"

namespace tessaly {

// One receive buffer per transaction; replies are read to its start.
using ReceiveBuffer = std::array<Byte, 20>;

// A display that never sends 0x57, or a line that streams noise, must not hold
// the caller: the wait ends after this long or after this many other bytes.
inline constexpr std::chrono::milliseconds kSyncWaitBound{1000};
inline constexpr std::size_t kSyncSkipBound = 256;

// True when the device took the whole command and the line is still up after it.
bool WriteCommand(CSerialLink& link, const CommandRow& row);

// Where the wait for 0x57 reads the time and rests between empty reads: the
// steady clock in the program, a virtual one where a test must see a bound exactly.
class SyncWaitClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~SyncWaitClock() = default;
    virtual TimePoint Now() = 0;
    virtual void Rest(std::chrono::milliseconds pause) = 0;
};

// Reads single bytes into buffer[0] until it holds 0x57; a 0x57 already there
// ends the wait at once. `started` is when the wait began on `clock` and
// `skipped` how many other bytes it has already passed over. False when a bound
// passes first, when the line hangs up or fails, or once `stopped` (when given)
// turns true: a run asked to stop does not wait out the bound.
bool AwaitSyncByte(CSerialLink& link, ReceiveBuffer& buffer, SyncWaitClock& clock,
                   SyncWaitClock::TimePoint started, std::size_t skipped = 0,
                   const std::function<bool()>& stopped = {});

// The same on the steady clock.
bool AwaitSyncByte(CSerialLink& link, ReceiveBuffer& buffer,
                   std::chrono::steady_clock::time_point started, std::size_t skipped = 0,
                   const std::function<bool()>& stopped = {});

}  // namespace tessaly
