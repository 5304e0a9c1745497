// SIGINT, SIGTERM and SIGHUP must not end Tessaly on the spot: printers it has
// borrowed would stay on the dummy port. The signals are taken by a watcher
// thread instead, which hands them to the program so that it can end through
// its normal teardown. On Windows the console's Ctrl-C, Ctrl-Break and close
// (also logoff and shutdown) events come the same way, as SIGINT, SIGBREAK and
// the hang-up number 1, on the thread the system starts for them. SIGXFSZ is
// ignored for the same reason: a write past the file size limit fails instead.
#pragma once

#include <atomic>
#include <functional>
#include <memory>

namespace tessaly {

class TerminationSignals {
public:
    // Blocks the three signals in the calling thread, so construct this before
    // any other thread starts (the toolkit starts its own): threads inherit the
    // mask and the signals then reach only the watcher. `onSignal` runs on the
    // watcher thread. On Windows the console events are taken while this lives.
    explicit TerminationSignals(std::function<void(int signal)> onSignal);
    ~TerminationSignals();
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // The signal that arrived first, 0 while none has.
    int Received() const { return m_received.load(); }

private:
    // The platform's part: the blocked signals and the thread that waits for
    // them on POSIX, the console control handler on Windows.
    struct Watch;

    // Keeps the first signal and hands each one to the program.
    void Deliver(int signal);

    std::function<void(int)> m_onSignal;
    std::atomic<int> m_received{0};
    std::unique_ptr<Watch> m_watch;
};

}  // namespace tessaly
