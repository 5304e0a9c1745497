// A transaction host on a virtual clock: waits and progress are recorded, not
// slept or drawn, and a hook can change the world at a chosen step.
#pragma once

#include <functional>
#include <vector>

#include "tests/support/bytes.h"
#include "transactions/transactions.h"

namespace tessaly::testing {

// Progress as it was driven: a position for SetProgress, kStep for StepProgress.
inline constexpr int kStep = -1;

class RecordingHost : public TransactionHost {
public:
    void Wait(int milliseconds) override {
        waits.push_back(milliseconds);
        if (hook && hookAtWait == static_cast<int>(waits.size())) {
            hook();
        }
    }
    bool StopRequested() const override { return stop; }
    void SetProgress(int position) override { progress.push_back(position); }
    void StepProgress() override {
        progress.push_back(kStep);
        if (hook && ++m_steps == hookAtStep) {
            hook();
        }
    }

    std::vector<int> waits;
    std::vector<int> progress;
    // Runs at the given step, or in the given wait (1 = the first), to change the
    // world mid-transaction.
    int hookAtStep = 0;
    int hookAtWait = 0;
    std::function<void()> hook;
    bool stop = false;

private:
    int m_steps = 0;
};

}  // namespace tessaly::testing
