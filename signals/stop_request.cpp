#include "signals/stop_request.h"

namespace tessaly {

bool StopRequest::Request(int signal) {
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        if (m_signal != 0) {
            return false;
        }
        m_signal = signal;
    }
    m_changed.notify_all();
    return true;
}

bool StopRequest::Requested() const {
    return Signal() != 0;
}

int StopRequest::Signal() const {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_signal;
}

void StopRequest::Sleep(std::chrono::milliseconds duration) const {
    std::unique_lock<std::mutex> hold(m_mutex);
    m_changed.wait_for(hold, duration, [this] { return m_signal != 0; });
}

void StopRequest::MarkEnded() {
    {
        std::lock_guard<std::mutex> hold(m_mutex);
        m_ended = true;
    }
    m_changed.notify_all();
}

bool StopRequest::Ended() const {
    std::lock_guard<std::mutex> hold(m_mutex);
    return m_ended;
}

bool StopRequest::AwaitEnd(std::chrono::milliseconds limit) const {
    std::unique_lock<std::mutex> hold(m_mutex);
    return m_changed.wait_for(hold, limit, [this] { return m_ended; });
}

}  // namespace tessaly
