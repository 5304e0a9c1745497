#include "signals/termination_signals.h"

namespace tessaly {

void TerminationSignals::Deliver(int signal) {
    int none = 0;
    m_received.compare_exchange_strong(none, signal);
    if (m_onSignal) {
        m_onSignal(signal);
    }
}

}  // namespace tessaly
