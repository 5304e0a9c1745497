#include "ui/background_transaction.h"

namespace tessaly {

class BackgroundTransaction::Host final : public BackgroundHost {
public:
    Host(BackgroundTransaction& owner, ProgressBar* bar) : m_owner(owner), m_bar(bar) {}

    void Wait(int milliseconds) override { m_owner.m_services.Wait(milliseconds); }
    void SetProgress(int position) override {
        Post([bar = m_bar, position] { bar->SetPos(position); });
    }
    void StepProgress() override {
        Post([bar = m_bar] { bar->StepIt(); });
    }
    bool StopRequested() const override { return m_owner.m_stop; }

    void OnWindowThread(const std::function<void()>& call) override {
        std::unique_lock lock(m_owner.m_mutex);
        if (m_owner.m_abandoned) {
            return;
        }
        bool called = false;
        m_owner.m_window.Post([this, &call, &called] {
            m_owner.m_busy.reset();
            call();
            m_owner.m_busy = m_owner.m_window.HoldInput();
            std::lock_guard done(m_owner.m_mutex);
            called = true;
            m_owner.m_called.notify_all();
        });
        m_owner.m_called.wait(lock, [&] { return called || m_owner.m_abandoned; });
    }

private:
    void Post(std::function<void()> show) {
        if (m_bar == nullptr) {
            return;
        }
        m_owner.m_window.Post([this, show = std::move(show)] {
            show();
            if (m_owner.m_busy) {
                m_owner.m_busy->Renew();
            }
        });
    }

    BackgroundTransaction& m_owner;
    ProgressBar* m_bar;
};

BackgroundTransaction::BackgroundTransaction(NativeWindow& window, WindowServices& services)
    : m_window(window), m_services(services) {}

BackgroundTransaction::~BackgroundTransaction() {
    Abandon();
}

void BackgroundTransaction::Abandon() {
    if (!Running()) {
        return;
    }
    m_stop = true;
    {
        std::lock_guard lock(m_mutex);
        m_abandoned = true;
    }
    m_called.notify_all();
    m_thread.join();
    m_busy.reset();  // the end that would have released it never comes
}

bool BackgroundTransaction::Start(ProgressBar* bar, Work work, std::function<void()> done) {
    if (Running()) {
        return false;
    }
    m_stop = false;
    m_done = std::move(done);
    m_host = std::make_unique<Host>(*this, bar);
    m_busy = m_window.HoldInput();
    m_thread = std::thread([this, work = std::move(work)] {
        work(*m_host);
        // Posted after every progress event of the transaction, so it comes last.
        m_window.Post([this] { Finish(); });
    });
    return true;
}

void BackgroundTransaction::Finish() {
    m_thread.join();
    m_busy.reset();
    if (auto done = std::move(m_done)) {
        done();
    }
}

}  // namespace tessaly
