#include "ui/progress_bar.h"

#include <algorithm>

#include "ui/native_window.h"

namespace tessaly {

void ProgressBar::Attach(ProgressIndicator* indicator) {
    m_indicator = indicator;
    Show();
}

void ProgressBar::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = std::max(lower, upper);
    m_position = std::clamp(m_position, m_lower, m_upper);
    Show();
}

void ProgressBar::SetStep(int step) {
    m_step = step;
}

void ProgressBar::SetPos(int position) {
    m_position = std::clamp(position, m_lower, m_upper);
    Show();
}

void ProgressBar::StepIt() {
    const long next = static_cast<long>(m_position) + m_step;
    m_position = (next > m_upper || next < m_lower) ? m_lower : static_cast<int>(next);
    Show();
}

void ProgressBar::Show() {
    if (m_indicator != nullptr) {
        m_indicator->Show(m_lower, m_upper, m_position);
    }
}

}  // namespace tessaly
