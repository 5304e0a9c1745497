#include "ui/win32/win32_posted_calls.h"

namespace tessaly {

void PostedCalls::Attach(HWND target) {
    std::lock_guard lock(m_mutex);
    m_target = target;
    m_attached = std::make_shared<bool>(true);
}

void PostedCalls::Detach() {
    std::deque<std::function<void()>> dropped;
    {
        std::lock_guard lock(m_mutex);
        m_target = nullptr;
        *m_attached = false;
        dropped.swap(m_calls);
    }
    // Destroyed outside the lock: what a call captured may post again.
}

void PostedCalls::Add(std::function<void()> call) {
    std::lock_guard lock(m_mutex);
    if (m_target == nullptr) {
        return;
    }
    m_calls.push_back(std::move(call));
    // A full queue loses this wake-up, not the call: the next one runs it.
    PostMessageW(m_target, m_wakeUp, 0, 0);
}

// Only the calls queued when the run starts; later ones have wake-ups of their
// own. A worker that adds calls as fast as they run would otherwise keep the
// thread in this one message until the worker ends, and whoever pumps the
// messages would see none of the steps between.
void PostedCalls::RunPending() {
    std::shared_ptr<bool> attached;
    std::size_t due = 0;
    {
        std::lock_guard lock(m_mutex);
        attached = m_attached;
        due = m_calls.size();
    }
    for (; due > 0 && *attached; --due) {
        std::function<void()> call;
        {
            std::lock_guard lock(m_mutex);
            if (m_calls.empty()) {
                return;
            }
            call = std::move(m_calls.front());
            m_calls.pop_front();
        }
        call();
    }
}

}  // namespace tessaly
