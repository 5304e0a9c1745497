// "Get Status" and "Set Status": the window captures what the transaction needs,
// runs it off its own thread with the bar as its progress, and tells the
// operator how it ended.
#include <memory>

#include "editor/switch_editor_dlg.h"
#include "transactions/outcome_text.h"
#include "transactions/transactions.h"

namespace tessaly {

void CSwitchEditorDlg::OnGetStatus() {
    m_progress.SetPos(0);
    struct Result {
        ReadOutcome outcome = ReadOutcome::NoAnswer;
        // A scratch set, so that a reply that never came, or came cut short,
        // cannot leave half a grid behind.
        SwitchSet read{};
    };
    auto result = std::make_shared<Result>();
    CSerialLink* link = m_pLink;
    RunTransaction(
        &m_progress,
        [link, result](BackgroundHost& host) {
            if (link != nullptr) {
                result->outcome = ReadSwitches(*link, host, result->read);
            }
        },
        [this, result] { ShowRead(result->outcome, result->read); });
}

void CSwitchEditorDlg::ShowRead(ReadOutcome outcome, const SwitchSet& read) {
    if (outcome != ReadOutcome::Complete) {
        m_progress.SetPos(0);
        if (!EndRequested()) {
            Services().ShowMessage(this, ReadOutcomeText(outcome), MessageIcon::Exclamation);
        }
        return;
    }
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        m_grid.StoreBits(group, read[group]);
    }
    SetIndices(DeriveIndices(m_grid));
    m_progress.SetPos(100);
    if (!EndRequested()) {
        Services().ShowMessage(this, ReadOutcomeText(outcome), MessageIcon::Information);
    }
    ShowGrid("display");
    EnableControls(1);
    m_progress.SetPos(0);
}

void CSwitchEditorDlg::OnSetStatus() {
    m_progress.SetPos(0);
    // The members follow the lists, but the grid is what goes out: the lists have
    // already been applied to it as they changed.
    UpdateData(true);
    SwitchSet carried{};
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        carried[group] = m_grid.CarriedBits(group);
    }
    auto outcome = std::make_shared<WriteOutcome>(WriteOutcome::NoAnswer);
    CSerialLink* link = m_pLink;
    RunTransaction(
        &m_progress,
        [link, carried, outcome](BackgroundHost& host) {
            if (link != nullptr) {
                *outcome = WriteSwitches(*link, host, carried);
            }
        },
        [this, outcome] {
            const bool complete = *outcome == WriteOutcome::Complete;
            m_progress.SetPos(complete ? 100 : 0);
            if (!EndRequested()) {
                Services().ShowMessage(
                    this, WriteOutcomeText(*outcome),
                    complete ? MessageIcon::Information : MessageIcon::Exclamation);
            }
            m_progress.SetPos(0);
        });
}

}  // namespace tessaly
