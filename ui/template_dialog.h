// A modal window built from a DialogTemplate. Windows derive from CTemplateDialog
// and bind their handlers with a static event table of (event, control id,
// handler), for example:
//
//   wxBEGIN_EVENT_TABLE(CMainDlg, CTemplateDialog)
//       EVT_BUTTON(IDC_CHECK_COMM, CMainDlg::OnCheckComm)
//       EVT_CHOICE(IDC_BAUD, CMainDlg::OnLineSettingChanged)
//   wxEND_EVENT_TABLE()
//
// Windows end with IDOK (1) or IDCANCEL (2). The cancel command, Escape and the
// close box all arrive as the command IDCANCEL, so a window that handles
// EVT_BUTTON(IDCANCEL, ...) sees every way of cancelling.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <wx/dialog.h>

#include "resources/dialog_template.h"
#include "ui/background_transaction.h"
#include "ui/window_services.h"

namespace tessaly {

class CTemplateDialog;
class ProgressBar;

// One pass of data transfer between a window's controls and its members; the
// direction is fixed for the pass, so one DoDataExchange serves both.
class DataExchange {
public:
    DataExchange(CTemplateDialog& window, bool saving) : m_window(window), m_saving(saving) {}
    // A drop-down's selected index: -1 for no selection; an index that names no
    // item shows as no selection.
    void ListIndex(int controlId, std::int32_t& index);
    // Binds a progress bar member to the window's gauge (first pass only matters).
    void Control(int controlId, ProgressBar& bar);

private:
    CTemplateDialog& m_window;
    bool m_saving;
};

class CTemplateDialog : public wxDialog {
public:
    // Created with no parent, a window centres over the screen.
    CTemplateDialog(const DialogTemplate& layout, wxWindow* parent, WindowServices& services);

    const DialogTemplate& Layout() const { return m_layout; }
    WindowServices& Services() const { return m_services; }

    // The control with this id in this window, or nullptr.
    wxWindow* Control(int controlId) const;

    // Drop-down lists (editable or not).
    int GetListIndex(int controlId) const;                    // -1 when nothing is selected
    void SetListIndex(int controlId, int index);              // out of range: no selection
    std::string GetListText(int controlId, int index) const;  // "" out of range
    int GetListCount(int controlId) const;

    void EnableControl(int controlId, bool enable);
    bool IsControlEnabled(int controlId) const;

    // Members to controls (false) or controls to members (true).
    bool UpdateData(bool saving);
    bool TransferDataToWindow() override { return UpdateData(false); }
    bool TransferDataFromWindow() override { return UpdateData(true); }

    // A window made with no parent is centred over the screen; one that is run
    // from another window is shown centred over that window instead.
    void CentreOver(const wxWindow& owner);

    // Ends the modal run with `result`; a window shown without a modal run hides.
    void EndDialog(int result);

    // Sends the command `controlId` to this window's handlers, as a click on a
    // button, Escape (IDCANCEL) or Enter (IDOK) do.
    void SendCommand(int controlId);

    // While a device transaction runs the window takes no input.
    bool TransactionRunning() const { return m_transaction.Running(); }
    // Ends the window with `result`: at once, or, while a transaction runs, as
    // soon as it has finished or stopped between two commands.
    void RequestEnd(int result);
    bool EndRequested() const { return m_pendingEnd.has_value(); }

protected:
    // Stops a running transaction between two commands and waits for its thread:
    // a window calls it first in its destructor when its work uses the window's
    // own members, which go before this base class does.
    void AbandonTransaction() { m_transaction.Abandon(); }
    // Runs `work` off the window's thread (see BackgroundTransaction); `done`
    // follows on the window's thread, and then the end if one was asked for
    // meanwhile. `done` should tell the operator nothing when EndRequested().
    bool RunTransaction(ProgressBar* bar, BackgroundTransaction::Work work,
                        std::function<void()> done);
    // A transaction that only sends: `send` runs off the window's thread and
    // returns whether its commands went out whole. Success shows nothing, but a
    // command that did not go out whole must not pass for one: `failedText` says so.
    bool RunSend(std::function<bool()> send, const char* failedText);
    // Runs on the window's thread after each transaction's `done`.
    virtual void OnTransactionEnded() {}

    virtual void DoDataExchange(DataExchange& dx);
    // Shows the members and gives the focus to the first enabled control that
    // takes the tab. Windows that override it call it first.
    virtual void OnInitDialog();
    virtual void OnOK();      // reads the controls into the members, ends with IDOK
    virtual void OnCancel();  // ends with IDCANCEL

    void FocusFirstTabStop();

private:
    void CreateControls();
    void OnInitDialogEvent(wxInitDialogEvent& event);
    void OnOkCommand(wxCommandEvent& event);
    void OnCancelCommand(wxCommandEvent& event);
    void OnCloseBox(wxCloseEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void PressEnter();
    bool TryBefore(wxEvent& event) override;

    const DialogTemplate& m_layout;
    WindowServices& m_services;
    BackgroundTransaction m_transaction{*this, m_services};
    std::optional<int> m_pendingEnd;

    wxDECLARE_EVENT_TABLE();
};

}  // namespace tessaly
