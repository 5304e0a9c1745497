#include "signals/end_request_relay.h"

#include <utility>

namespace tessaly {

void EndRequestRelay::Attach(std::function<void()> receiver) {
    std::lock_guard lock(m_mutex);
    m_receiver = std::move(receiver);
    if (m_pending && m_receiver) {
        m_pending = false;
        m_receiver();
    }
}

void EndRequestRelay::Detach() {
    std::lock_guard lock(m_mutex);
    m_receiver = nullptr;
}

void EndRequestRelay::Request() {
    std::lock_guard lock(m_mutex);
    if (m_receiver) {
        m_receiver();
    } else {
        m_pending = true;
    }
}

}  // namespace tessaly
