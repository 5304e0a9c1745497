// "Get Status" and "Set Status": the window captures what the transaction needs,
// runs it with the bar as its progress, and tells the operator how it ended.
#include "editor/window/switch_editor_dlg.h"

#include "transactions/transactions.h"
#include "ui/window_transaction_host.h"

namespace tessaly {

namespace {

constexpr const char* kReadDone = "Success to get status of ORX.";
constexpr const char* kWriteDone = "Success to set status of printer";
constexpr const char* kReadNoAnswer = "The display did not answer. Nothing was changed.";
constexpr const char* kWriteNoAnswer = "The display did not answer. Nothing was written.";
constexpr const char* kWriteFailed =
    "Writing to the display failed. Its settings may be incomplete.";

}  // namespace

void CSwitchEditorDlg::OnGetStatus(wxCommandEvent&) {
    m_progress.SetPos(0);
    WindowTransactionHost host(Services(), &m_progress);
    // Read into a scratch set so that a reply that never came, or came cut short,
    // cannot leave half a grid behind.
    SwitchSet read{};
    if (m_pLink == nullptr || ReadSwitches(*m_pLink, host, read) != ReadOutcome::Complete) {
        m_progress.SetPos(0);
        Services().ShowMessage(this, kReadNoAnswer, MessageIcon::Exclamation);
        return;
    }
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        m_grid.StoreBits(group, read[group]);
    }
    SetIndices(DeriveIndices(m_grid));
    m_progress.SetPos(100);
    Services().ShowMessage(this, kReadDone, MessageIcon::Information);
    UpdateData(false);
    EnableControls(1);
    m_progress.SetPos(0);
}

void CSwitchEditorDlg::OnSetStatus(wxCommandEvent&) {
    m_progress.SetPos(0);
    // The members follow the lists, but the grid is what goes out: the lists have
    // already been applied to it as they changed.
    UpdateData(true);
    SwitchSet carried{};
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        carried[group] = m_grid.CarriedBits(group);
    }
    WindowTransactionHost host(Services(), &m_progress);
    const WriteOutcome outcome =
        m_pLink == nullptr ? WriteOutcome::NoAnswer : WriteSwitches(*m_pLink, host, carried);
    switch (outcome) {
        case WriteOutcome::Complete:
            m_progress.SetPos(100);
            Services().ShowMessage(this, kWriteDone, MessageIcon::Information);
            break;
        case WriteOutcome::NoAnswer:
            m_progress.SetPos(0);
            Services().ShowMessage(this, kWriteNoAnswer, MessageIcon::Exclamation);
            break;
        case WriteOutcome::WriteFailed:
            m_progress.SetPos(0);
            Services().ShowMessage(this, kWriteFailed, MessageIcon::Exclamation);
            break;
    }
    m_progress.SetPos(0);
}

}  // namespace tessaly
