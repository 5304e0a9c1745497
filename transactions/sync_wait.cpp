#include "transactions/sync_wait.h"

#include <thread>

namespace tessaly {

namespace {

class SteadyClock : public SyncWaitClock {
public:
    TimePoint Now() override { return std::chrono::steady_clock::now(); }
    void Rest(std::chrono::milliseconds pause) override { std::this_thread::sleep_for(pause); }
};

}  // namespace

bool WriteCommand(CSerialLink& link, const CommandRow& row) {
    const auto length = static_cast<unsigned>(row.length);
    // A full count only says the driver took the bytes; a device that hangs up
    // just after never sends them on.
    return link.Write(row.bytes.data(), length) == length && link.Line() == LineState::Sound;
}

bool AwaitSyncByte(CSerialLink& link, ReceiveBuffer& buffer, SyncWaitClock& clock,
                   SyncWaitClock::TimePoint started, std::size_t skipped,
                   const std::function<bool()>& stopped) {
    const auto deadline = started + kSyncWaitBound;
    while (buffer[0] != kSyncByte) {
        if (skipped >= kSyncSkipBound || clock.Now() >= deadline || (stopped && stopped())) {
            return false;
        }
        const auto before = clock.Now();
        if (link.Read(buffer.data(), 1, 1000) == 1) {
            if (buffer[0] != kSyncByte) {
                ++skipped;
            }
            continue;
        }
        if (link.Line() != LineState::Sound) {
            return false;  // nothing more will come
        }
        if (clock.Now() - before < std::chrono::milliseconds(1)) {
            // A read that returns at once with nothing must not turn into a spin.
            clock.Rest(std::chrono::milliseconds(5));
        }
    }
    return true;
}

bool AwaitSyncByte(CSerialLink& link, ReceiveBuffer& buffer,
                   std::chrono::steady_clock::time_point started, std::size_t skipped,
                   const std::function<bool()>& stopped) {
    SteadyClock clock;
    return AwaitSyncByte(link, buffer, clock, started, skipped, stopped);
}

}  // namespace tessaly
