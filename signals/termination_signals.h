// SIGINT, SIGTERM and SIGHUP must not end Tessaly on the spot: printers it has
// borrowed would stay on the dummy port. The signals are taken by a watcher
// thread instead, which hands them to the program so that it can end through
// its normal teardown. SIGXFSZ is ignored for the same reason.
#pragma once

#include <atomic>
#include <csignal>
#include <functional>
#include <thread>

namespace tessaly {

class TerminationSignals {
public:
    // Blocks the three signals in the calling thread, so construct this before
    // any other thread starts (the toolkit starts its own): threads inherit the
    // mask and the signals then reach only the watcher. `onSignal` runs on the
    // watcher thread.
    explicit TerminationSignals(std::function<void(int signal)> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The signal that arrived first, 0 while none has.
    int Received() const { return m_received.load(); }

private:
    void Watch();

    std::function<void(int)> m_onSignal;
    sigset_t m_signals{};
    sigset_t m_previousMask{};
    std::atomic<int> m_received{0};
    std::atomic<bool> m_stop{false};
    std::thread m_watcher;
};

}  // namespace tessaly
