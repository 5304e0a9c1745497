// "Get Status" and "Set Status": the window captures what the transaction needs,
// runs it with the bar as its progress, and tells the operator how it ended.
#include "editor/window/switch_editor_dlg.h"

#include "transactions/outcome_text.h"
#include "transactions/transactions.h"
#include "ui/window_transaction_host.h"

namespace tessaly {

void CSwitchEditorDlg::OnGetStatus(wxCommandEvent&) {
    m_progress.SetPos(0);
    WindowTransactionHost host(Services(), &m_progress);
    // Read into a scratch set so that a reply that never came, or came cut short,
    // cannot leave half a grid behind.
    SwitchSet read{};
    const ReadOutcome outcome =
        m_pLink == nullptr ? ReadOutcome::NoAnswer : ReadSwitches(*m_pLink, host, read);
    if (outcome != ReadOutcome::Complete) {
        m_progress.SetPos(0);
        Services().ShowMessage(this, ReadOutcomeText(outcome), MessageIcon::Exclamation);
        return;
    }
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        m_grid.StoreBits(group, read[group]);
    }
    SetIndices(DeriveIndices(m_grid));
    m_progress.SetPos(100);
    Services().ShowMessage(this, ReadOutcomeText(outcome), MessageIcon::Information);
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
    const bool complete = outcome == WriteOutcome::Complete;
    m_progress.SetPos(complete ? 100 : 0);
    Services().ShowMessage(this, WriteOutcomeText(outcome),
                           complete ? MessageIcon::Information : MessageIcon::Exclamation);
    m_progress.SetPos(0);
}

}  // namespace tessaly
