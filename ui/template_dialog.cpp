#include "ui/template_dialog.h"

#include <memory>

#include "resources/control_ids.h"
#include "ui/progress_bar.h"

namespace tessaly {

void DataExchange::ListIndex(int controlId, std::int32_t& index) {
    if (m_saving) {
        index = m_window.GetListIndex(controlId);
    } else {
        m_window.SetListIndex(controlId, index);
    }
}

void DataExchange::Control(int controlId, ProgressBar& bar) {
    if (!bar.IsAttached()) {
        bar.Attach(m_window.Native().Progress(controlId));
    }
}

CTemplateDialog::CTemplateDialog(const DialogTemplate& layout, WindowServices& services)
    : m_layout(layout),
      m_services(services),
      m_native(CreateNativeWindow(layout, *this)),
      m_transaction(*m_native, services) {}

CTemplateDialog::~CTemplateDialog() = default;

int CTemplateDialog::GetListIndex(int controlId) const {
    return HasControl(controlId) ? m_native->ListIndex(controlId) : -1;
}

void CTemplateDialog::SetListIndex(int controlId, int index) {
    if (HasControl(controlId)) {
        m_native->SetListIndex(controlId, index);
        m_native->ShowListNote(controlId, {});
    }
}

std::string CTemplateDialog::GetListText(int controlId, int index) const {
    return HasControl(controlId) ? m_native->ListText(controlId, index) : std::string();
}

int CTemplateDialog::GetListCount(int controlId) const {
    return HasControl(controlId) ? m_native->ListCount(controlId) : 0;
}

void CTemplateDialog::EnableControl(int controlId, bool enable) {
    if (HasControl(controlId)) {
        m_native->EnableControl(controlId, enable);
    }
}

bool CTemplateDialog::IsControlEnabled(int controlId) const {
    return HasControl(controlId) && m_native->IsControlEnabled(controlId);
}

void CTemplateDialog::SetControlTooltip(int controlId, const std::string& text) {
    if (HasControl(controlId)) {
        m_native->SetTooltip(controlId, text);
    }
}

void CTemplateDialog::ShowListNote(int controlId, const std::string& note) {
    if (HasControl(controlId)) {
        m_native->ShowListNote(controlId, note);
    }
}

bool CTemplateDialog::UpdateData(bool saving) {
    DataExchange dx(*this, saving);
    DoDataExchange(dx);
    return true;
}

int CTemplateDialog::ShowModal() {
    return m_native->RunModal();
}

void CTemplateDialog::CentreOver(const CTemplateDialog& owner) {
    m_native->CentreOver(owner.Native());
}

void CTemplateDialog::EndDialog(int result) {
    m_native->End(result);
}

void CTemplateDialog::SendCommand(int controlId) {
    OnCommand(controlId, Notification::Clicked);
}

void CTemplateDialog::RequestEnd(int result) {
    if (!TransactionRunning()) {
        EndDialog(result);
        return;
    }
    m_pendingEnd = result;
    m_transaction.RequestStop();
}

bool CTemplateDialog::RunSend(std::function<bool()> send, const char* failedText) {
    auto sent = std::make_shared<bool>(true);
    return RunTransaction(
        nullptr, [send = std::move(send), sent](BackgroundHost&) { *sent = send(); },
        [this, sent, failedText] {
            if (!*sent && !EndRequested()) {
                Services().ShowMessage(this, failedText, MessageIcon::Exclamation);
            }
        });
}

bool CTemplateDialog::RunTransaction(ProgressBar* bar, BackgroundTransaction::Work work,
                                     std::function<void()> done) {
    return m_transaction.Start(bar, std::move(work), [this, done = std::move(done)] {
        if (done) {
            done();
        }
        OnTransactionEnded();
        if (m_pendingEnd) {
            EndDialog(*m_pendingEnd);
        }
    });
}

void CTemplateDialog::DoDataExchange(DataExchange&) {}

void CTemplateDialog::OnInitDialog() {
    UpdateData(false);
    FocusFirstTabStop();
}

void CTemplateDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CTemplateDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CTemplateDialog::OnInitialise() {
    OnInitDialog();
}

void CTemplateDialog::OnCommand(int controlId, Notification notification) {
    // The desktop's input is held back while a transaction runs; commands that
    // reach the window some other way are refused too.
    if (TransactionRunning()) {
        return;
    }
    if (notification == Notification::SelectionChanged) {
        ShowListNote(controlId);
    }
    for (auto row = m_handlers.rbegin(); row != m_handlers.rend(); ++row) {
        if (row->controlId == controlId && row->notification == notification) {
            row->call();
            return;
        }
    }
    if (notification != Notification::Clicked) {
        return;
    }
    if (controlId == IDOK) {
        OnOK();
    } else if (controlId == IDCANCEL) {
        OnCancel();
    }
}

void CTemplateDialog::OnCloseBox() {
    if (TransactionRunning()) {
        // The window closes once the display is left between two commands.
        RequestEnd(IDCANCEL);
        return;
    }
    SendCommand(IDCANCEL);
}

}  // namespace tessaly
