// Test doubles around the transactions: a host on a virtual clock that records
// waits and progress, and the settings that reach a virtual display.
#pragma once

#include <functional>
#include <vector>

#include "link/serial_link.h"
#include "protocol/commands.h"
#include "transactions/transactions.h"

namespace tessaly::testing {

using Bytes = std::vector<Byte>;

// Progress as it was driven: a position for SetProgress, kStep for StepProgress.
inline constexpr int kStep = -1;

class RecordingHost : public TransactionHost {
public:
    // Waits are recorded, not slept: the display answers at once anyway.
    void Wait(int milliseconds) override { waits.push_back(milliseconds); }
    void SetProgress(int position) override { progress.push_back(position); }
    void StepProgress() override;

    int Steps() const;

    std::vector<int> waits;
    std::vector<int> progress;
    // Runs at the given step (1 = the first), to change the world mid-transaction.
    int hookAtStep = 0;
    std::function<void()> hook;
};

LinkSettings SettingsFor(const std::string& device);

Bytes Concat(std::initializer_list<Bytes> parts);
Bytes BytesOf(const CommandRow& row);

}  // namespace tessaly::testing
