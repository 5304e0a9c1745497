// Runs a window's device transaction on a worker thread, so that the window
// keeps painting while the display takes its time. The window's thread only
// starts it and hears the end of it; progress reaches the window's bar as
// events posted to that thread, in the order the transaction made it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "transactions/transactions.h"
#include "ui/native_window.h"
#include "ui/progress_bar.h"
#include "ui/window_services.h"

namespace tessaly {

// What a transaction running in the background gets as its host.
class BackgroundHost : public TransactionHost {
public:
    // Runs `call` on the window's thread, with the operator's input back for
    // its length (it may show a message), and returns once it has run. Returns
    // at once without running it when the window is going away.
    virtual void OnWindowThread(const std::function<void()>& call) = 0;
};

class BackgroundTransaction {
public:
    using Work = std::function<void(BackgroundHost& host)>;

    // `window` receives the posted progress and the end; it outlives this.
    BackgroundTransaction(NativeWindow& window, WindowServices& services);
    // A transaction still running is asked to stop and waited for (Abandon).
    ~BackgroundTransaction();
    BackgroundTransaction(const BackgroundTransaction&) = delete;
    BackgroundTransaction& operator=(const BackgroundTransaction&) = delete;

    // Starts `work` on its own thread, holding the operator's input back and
    // showing the busy cursor until it has returned; then `done` runs on the
    // window's thread. `bar` may be null. False, and nothing runs, while one is
    // still running.
    bool Start(ProgressBar* bar, Work work, std::function<void()> done);
    // From Start until just before `done` runs.
    bool Running() const { return m_thread.joinable(); }

    // The transaction stops at its next point between two commands.
    void RequestStop() { m_stop = true; }
    // Asks a running transaction to stop and waits until its thread has ended;
    // `done` does not run. For owners whose members the work uses: call it before
    // they go.
    void Abandon();

private:
    class Host;
    void Finish();

    NativeWindow& m_window;
    WindowServices& m_services;
    std::unique_ptr<Host> m_host;
    std::function<void()> m_done;
    std::unique_ptr<InputHold> m_busy;  // while running, except during OnWindowThread calls
    // Joinable from Start until the end is heard; only the window's thread touches it.
    std::thread m_thread;
    std::atomic<bool> m_stop{false};

    // Calls on the window's thread that the worker waits for.
    std::mutex m_mutex;
    std::condition_variable m_called;
    bool m_abandoned = false;
};

}  // namespace tessaly
