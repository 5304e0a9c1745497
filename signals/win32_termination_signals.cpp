// The console's control events through SetConsoleCtrlHandler. The system runs the
// handler on a thread of its own for each event, so that thread is the watcher:
// it hands the event on and returns only when the program is done with it. After
// a close, logoff or shutdown event Windows ends the process once the handler
// returns (or after its own grace, about 5 s for a closed console window).
#include <windows.h>

#include <condition_variable>
#include <csignal>
#include <mutex>
#include <utility>

#include "signals/termination_signals.h"

namespace tessaly {

namespace {

// The number a closed console gets: the one a hang-up has on POSIX, so that the
// exit status (128 + number) is the same on both.
constexpr int kHangUpSignal = 1;

int SignalFor(DWORD event) {
    switch (event) {
        case CTRL_C_EVENT:
            return SIGINT;
        case CTRL_BREAK_EVENT:
            return SIGBREAK;
        case CTRL_CLOSE_EVENT:
        case CTRL_LOGOFF_EVENT:
        case CTRL_SHUTDOWN_EVENT:
            return kHangUpSignal;
        default:
            return 0;
    }
}

}  // namespace

struct TerminationSignals::Watch {
    // The one live watcher of the process; the handler has no other way to it.
    static inline std::mutex lock;
    static inline std::condition_variable idle;
    static inline TerminationSignals* active = nullptr;
    static inline int running = 0;  // handler calls inside Deliver

    static BOOL WINAPI OnEvent(DWORD event) {
        const int signal = SignalFor(event);
        TerminationSignals* target = nullptr;
        {
            std::lock_guard<std::mutex> hold(lock);
            target = active;
            if (signal == 0 || target == nullptr) {
                return FALSE;  // the next handler (the default ends the process)
            }
            ++running;
        }
        target->Deliver(signal);
        {
            std::lock_guard<std::mutex> hold(lock);
            --running;
        }
        idle.notify_all();
        return TRUE;
    }
};

TerminationSignals::TerminationSignals(std::function<void(int)> onSignal)
    : m_onSignal(std::move(onSignal)), m_watch(std::make_unique<Watch>()) {
    {
        std::lock_guard<std::mutex> hold(Watch::lock);
        Watch::active = this;
    }
    SetConsoleCtrlHandler(&Watch::OnEvent, TRUE);
}

TerminationSignals::~TerminationSignals() {
    SetConsoleCtrlHandler(&Watch::OnEvent, FALSE);
    // A handler call already past the lookup finishes first: the program's own
    // callback waits a bounded time for the run to end.
    std::unique_lock<std::mutex> hold(Watch::lock);
    Watch::active = nullptr;
    Watch::idle.wait(hold, [] { return Watch::running == 0; });
}

}  // namespace tessaly
