#include "ui/win32/win32_session_end.h"

#include <utility>

namespace tessaly {

namespace {

// Set and run on the toolkit's thread only.
std::function<void()>& SessionEndWork() {
    static std::function<void()> work;
    return work;
}

}  // namespace

void SetSessionEndWork(std::function<void()> last) {
    SessionEndWork() = std::move(last);
}

void RunSessionEndWork() {
    if (auto work = std::exchange(SessionEndWork(), {})) {
        work();
    }
}

}  // namespace tessaly
