#include "signals/termination_signals.h"

#include <pthread.h>

#include <cerrno>
#include <ctime>
#include <utility>

namespace tessaly {

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal)
    : m_onSignal(std::move(onSignal)) {
    sigemptyset(&m_signals);
    sigaddset(&m_signals, SIGINT);
    sigaddset(&m_signals, SIGTERM);
    sigaddset(&m_signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &m_signals, &m_previousMask);
    m_watcher = std::thread([this] { Watch(); });
}

TerminationSignals::~TerminationSignals() {
    m_stop = true;
    m_watcher.join();
    pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

void TerminationSignals::Watch() {
    // A short timeout lets the destructor stop the watcher without sending it
    // a signal of its own.
    const timespec poll{0, 100'000'000};
    while (!m_stop) {
        int signal = sigtimedwait(&m_signals, nullptr, &poll);
        if (signal <= 0)
            continue;
        int none = 0;
        m_received.compare_exchange_strong(none, signal);
        if (m_onSignal)
            m_onSignal(signal);
    }
}

}  // namespace tessaly
