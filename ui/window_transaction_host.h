// Lets a device transaction that runs inside a window's handler wait through the
// window's services and show its progress on the window's bar.
#pragma once

#include "transactions/transactions.h"
#include "ui/progress_bar.h"
#include "ui/window_services.h"

namespace tessaly {

class WindowTransactionHost final : public TransactionHost {
public:
    // `bar` may be null for windows without a progress bar.
    WindowTransactionHost(WindowServices& services, ProgressBar* bar)
        : m_services(services), m_bar(bar) {}

    void Wait(int milliseconds) override { m_services.Wait(milliseconds); }
    void SetProgress(int position) override {
        if (m_bar != nullptr) {
            m_bar->SetPos(position);
        }
    }
    void StepProgress() override {
        if (m_bar != nullptr) {
            m_bar->StepIt();
        }
    }

private:
    WindowServices& m_services;
    ProgressBar* m_bar;
};

}  // namespace tessaly
