// A run asked to end early: the signal watcher records the request, the thread
// that runs the transactions reads it between two commands and wakes from its
// waits for it, and the watcher learns when that thread has finished its teardown.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tessaly {

class StopRequest {
public:
    // Records the request; false when one was already made.
    bool Request(int signal);
    bool Requested() const;
    // The signal of the first request, 0 while none was made.
    int Signal() const;
    // Sleeps for `duration`, less when a stop is requested meanwhile.
    void Sleep(std::chrono::milliseconds duration) const;

    // The run has come to its end the usual way: port closed, printers given back.
    void MarkEnded();
    bool Ended() const;
    // Waits up to `limit` for MarkEnded; true when it came.
    bool AwaitEnd(std::chrono::milliseconds limit) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    int m_signal = 0;
    bool m_ended = false;
};

}  // namespace tessaly
