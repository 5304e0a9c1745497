// The command line's transaction host: real waits, and a progress bar on
// standard error that mirrors the editor's (range 0..100, step 4, wrapping).
#pragma once

#include <ostream>

#include "transactions/transactions.h"

namespace tessaly {

class ConsoleHost : public TransactionHost {
public:
    // bar: where to draw, or nullptr for no bar (standard error is no terminal).
    explicit ConsoleHost(std::ostream* bar) : m_bar(bar) {}
    ~ConsoleHost() override { ClearBar(); }

    void Wait(int milliseconds) override;
    void SetProgress(int position) override;
    void StepProgress() override;
    // Removes the bar so that a sentence can take its line.
    void ClearBar();

private:
    void Draw();

    std::ostream* m_bar;
    int m_position = 0;
    bool m_drawn = false;
};

}  // namespace tessaly
