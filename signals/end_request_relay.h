// Passes a request to end the program from the signal watcher's thread to the
// part of the program that can end it in order, for exactly as long as that
// part exists. The watcher never touches it directly: the receiver is attached
// once it can take requests and detached before it goes away.
#pragma once

#include <functional>
#include <mutex>

namespace tessaly {

class EndRequestRelay {
public:
    // `receiver` runs on the requesting thread with the relay's lock held, so it
    // must only hand the request on (post it), never wait. A request that came
    // before anything was attached is passed on at once.
    void Attach(std::function<void()> receiver);
    // Once this returns, the receiver is not running and never runs again.
    void Detach();
    // From any thread. Kept for a later Attach when no receiver is attached.
    void Request();

private:
    std::mutex m_mutex;
    std::function<void()> m_receiver;
    bool m_pending = false;
};

}  // namespace tessaly
