#include "transactions/sync_wait.h"

#include <thread>

namespace tessaly {

bool WriteCommand(CSerialLink& link, const CommandRow& row) {
    const auto length = static_cast<unsigned>(row.length);
    return link.Write(row.bytes.data(), length) == length;
}

bool AwaitSyncByte(CSerialLink& link, ReceiveBuffer& buffer,
                   std::chrono::steady_clock::time_point started, std::size_t skipped) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = started + kSyncWaitBound;
    while (buffer[0] != kSyncByte) {
        if (skipped >= kSyncSkipBound || Clock::now() >= deadline) {
            return false;
        }
        const auto before = Clock::now();
        if (link.Read(buffer.data(), 1, 1000) == 1) {
            if (buffer[0] != kSyncByte) {
                ++skipped;
            }
        } else if (Clock::now() - before < std::chrono::milliseconds(1)) {
            // A device that hung up answers at once with nothing; do not spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }
    return true;
}

}  // namespace tessaly
