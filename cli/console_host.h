// The command line's transaction host: real waits, and a progress bar on
// standard error that mirrors the editor's (range 0..100, step 4, wrapping).
#pragma once

#include <ostream>

#include "signals/stop_request.h"
#include "transactions/transactions.h"

namespace tessaly {

class ConsoleHost : public TransactionHost {
public:
    // bar: where to draw, or nullptr for no bar (standard error is no terminal).
    // stop: the run's stop request (a termination signal), or nullptr for none;
    // waits end early once it is made.
    explicit ConsoleHost(std::ostream* bar, const StopRequest* stop = nullptr)
        : m_bar(bar), m_stop(stop) {}
    ~ConsoleHost() override { ClearBar(); }

    void Wait(int milliseconds) override;
    void SetProgress(int position) override;
    void StepProgress() override;
    bool StopRequested() const override { return m_stop != nullptr && m_stop->Requested(); }
    // Removes the bar so that a sentence can take its line.
    void ClearBar();

private:
    void Draw();

    std::ostream* m_bar;
    const StopRequest* m_stop;
    int m_position = 0;
    bool m_drawn = false;
};

}  // namespace tessaly
