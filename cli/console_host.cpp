#include "cli/console_host.h"

#include <chrono>
#include <string>
#include <thread>

namespace tessaly {

namespace {

constexpr int kMaximum = 100;
constexpr int kStep = 4;
constexpr int kBarWidth = 40;

}  // namespace

void ConsoleHost::Wait(int milliseconds) {
    if (m_stop != nullptr) {
        m_stop->Sleep(std::chrono::milliseconds(milliseconds));
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

void ConsoleHost::SetProgress(int position) {
    m_position = position;
    Draw();
}

void ConsoleHost::StepProgress() {
    m_position += kStep;
    if (m_position > kMaximum) {
        m_position = 0;
    }
    Draw();
}

void ConsoleHost::Draw() {
    if (m_bar == nullptr) {
        return;
    }
    const int filled = m_position * kBarWidth / kMaximum;
    *m_bar << "\r[" << std::string(filled, '#') << std::string(kBarWidth - filled, ' ') << "] "
           << m_position << "%  " << std::flush;
    m_drawn = true;
}

void ConsoleHost::ClearBar() {
    if (m_bar == nullptr || !m_drawn) {
        return;
    }
    *m_bar << '\r' << std::string(kBarWidth + 10, ' ') << '\r' << std::flush;
    m_drawn = false;
}

}  // namespace tessaly
