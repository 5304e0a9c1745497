// Calls that other threads hand to a window's thread. The window's own message
// queue only wakes the thread; the calls wait in order in a queue of their own,
// so that nothing they capture is lost when a wake-up cannot be posted.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace tessaly {

class PostedCalls {
public:
    // `wakeUp` is the message posted to the target for each call.
    explicit PostedCalls(UINT wakeUp) : m_wakeUp(wakeUp) {}
    ~PostedCalls() { Detach(); }
    PostedCalls(const PostedCalls&) = delete;
    PostedCalls& operator=(const PostedCalls&) = delete;

    UINT WakeUp() const { return m_wakeUp; }

    // From now on calls are queued for `target` (a window of the calling thread).
    void Attach(HWND target);
    // Drops the calls still queued and every call added later.
    void Detach();
    // Any thread. Dropped when nothing is attached.
    void Add(std::function<void()> call);
    // On the target's thread, when the wake-up arrives: runs the calls queued by
    // then in the order they were added. A call may run a nested message loop, which runs
    // later calls before it returns, or detach the queue, which ends the run.
    void RunPending();

private:
    const UINT m_wakeUp;
    std::mutex m_mutex;
    HWND m_target = nullptr;
    std::deque<std::function<void()>> m_calls;
    // False once detached; a run in progress holds its own reference.
    std::shared_ptr<bool> m_attached = std::make_shared<bool>(false);
};

}  // namespace tessaly
