#include "ui/repaint.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include <wx/evtloop.h>

namespace tessaly {

namespace {

// A little more than one frame at 60 Hz.
constexpr int kFrameMs = 17;

void YieldToWindowSystem() {
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
        loop->YieldFor(wxEVT_CATEGORY_UI);
    }
}

}  // namespace

void RepaintNow() {
    if (wxEventLoopBase::GetActive() == nullptr) {
        return;
    }
    YieldToWindowSystem();
    std::this_thread::sleep_for(std::chrono::milliseconds(kFrameMs));
    YieldToWindowSystem();
}

void SleepPainting(int milliseconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (auto now = std::chrono::steady_clock::now(); now < end;
         now = std::chrono::steady_clock::now()) {
        YieldToWindowSystem();
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - now);
        std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(kFrameMs)));
    }
}

}  // namespace tessaly
