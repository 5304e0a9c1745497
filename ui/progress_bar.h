// A progress bar with a step: the gauge itself only knows a position, while the
// windows step it through their transactions and expect it to start over when a
// step would pass the end.
#pragma once

namespace tessaly {

class ProgressIndicator;

class ProgressBar {
public:
    // Until attached the bar only keeps its numbers; the window binds its control.
    void Attach(ProgressIndicator* indicator);
    bool IsAttached() const { return m_indicator != nullptr; }

    void SetRange(int lower, int upper);
    void SetStep(int step);
    // Positions outside the range are held at its nearer end.
    void SetPos(int position);
    // A step that would pass the upper end sets the lower end.
    void StepIt();

    int Pos() const { return m_position; }

private:
    void Show();

    ProgressIndicator* m_indicator = nullptr;
    int m_lower = 0;
    int m_upper = 100;
    int m_step = 10;
    int m_position = 0;
};

}  // namespace tessaly
