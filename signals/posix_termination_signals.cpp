#include <pthread.h>

#include <csignal>
#include <ctime>
#include <thread>
#include <utility>

#include "signals/termination_signals.h"

namespace tessaly {

struct TerminationSignals::Watch {
    sigset_t signals{};
    sigset_t previousMask{};
    std::atomic<bool> stop{false};
    std::thread watcher;
};

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal)
    : m_onSignal(std::move(onSignal)), m_watch(std::make_unique<Watch>()) {
    sigemptyset(&m_watch->signals);
    sigaddset(&m_watch->signals, SIGINT);
    sigaddset(&m_watch->signals, SIGTERM);
    sigaddset(&m_watch->signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &m_watch->signals, &m_watch->previousMask);
    // A write past a file-size limit (ulimit -f) must fail with EFBIG and be
    // reported like any failed write, not end the run with printers borrowed.
    std::signal(SIGXFSZ, SIG_IGN);
    m_watch->watcher = std::thread([this] {
        // A short timeout lets the destructor stop the watcher without sending it
        // a signal of its own.
        const timespec poll{0, 100'000'000};
        while (!m_watch->stop) {
            const int signal = sigtimedwait(&m_watch->signals, nullptr, &poll);
            if (signal > 0) {
                Deliver(signal);
            }
        }
    });
}

TerminationSignals::~TerminationSignals() {
    m_watch->stop = true;
    m_watch->watcher.join();
    pthread_sigmask(SIG_SETMASK, &m_watch->previousMask, nullptr);
}

}  // namespace tessaly
