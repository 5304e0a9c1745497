// A modal window built from a DialogTemplate, on whichever toolkit the build
// links (ui/native_window.h). Windows derive from CTemplateDialog and bind their
// handlers with a table of (notification, control id, member), for example:
//
//   constexpr CommandHandler<CMainDlg> kHandlers[] = {
//       {Notification::Clicked, IDC_CHECK_COMM, &CMainDlg::OnCheckComm},
//       {Notification::SelectionChanged, IDC_BAUD, &CMainDlg::OnLineSettingChanged},
//   };
//   ... BindHandlers(this, kHandlers);   // in the constructor
//
// Windows end with IDOK (1) or IDCANCEL (2). The cancel command, Escape and the
// close box all arrive as the command IDCANCEL, so a window that binds a click
// on IDCANCEL sees every way of cancelling; without one, IDOK runs OnOK and
// IDCANCEL OnCancel.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "resources/dialog_template.h"
#include "ui/background_transaction.h"
#include "ui/native_window.h"
#include "ui/window_services.h"

namespace tessaly {

class CTemplateDialog;
class ProgressBar;

// One row of a window's handler table.
template <class Window>
struct CommandHandler {
    Notification notification;
    int controlId;
    void (Window::*member)();
};

// One pass of data transfer between a window's controls and its members; the
// direction is fixed for the pass, so one DoDataExchange serves both.
class DataExchange {
public:
    DataExchange(CTemplateDialog& window, bool saving) : m_window(window), m_saving(saving) {}
    // A drop-down's selected index: -1 for no selection; an index that names no
    // item shows as no selection.
    void ListIndex(int controlId, std::int32_t& index);
    // Binds a progress bar member to the window's bar (first pass only matters).
    void Control(int controlId, ProgressBar& bar);

private:
    CTemplateDialog& m_window;
    bool m_saving;
};

class CTemplateDialog : private WindowEvents {
public:
    // The window is made hidden; it is centred over the screen when shown.
    CTemplateDialog(const DialogTemplate& layout, WindowServices& services);
    ~CTemplateDialog() override;
    CTemplateDialog(const CTemplateDialog&) = delete;
    CTemplateDialog& operator=(const CTemplateDialog&) = delete;

    const DialogTemplate& Layout() const { return m_layout; }
    WindowServices& Services() const { return m_services; }
    // The toolkit's window, for the toolkit's own code and its tests.
    NativeWindow& Native() const { return *m_native; }

    // True when the template has a control with this id (labels have none).
    bool HasControl(int controlId) const { return m_layout.Find(controlId) != nullptr; }

    // Drop-down lists (editable or not).
    int GetListIndex(int controlId) const;                    // -1 when nothing is selected
    void SetListIndex(int controlId, int index);              // out of range: no selection
    std::string GetListText(int controlId, int index) const;  // "" out of range
    int GetListCount(int controlId) const;

    void EnableControl(int controlId, bool enable);
    bool IsControlEnabled(int controlId) const;

    // Members to controls (false) or controls to members (true).
    bool UpdateData(bool saving);

    // Runs the window modally and returns how it ended.
    int ShowModal();
    // Shown from another window, it is centred over that window instead.
    void CentreOver(const CTemplateDialog& owner);

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

    // Runs `call` on the window's thread soon; callable from any thread. A call
    // still pending when the window goes is dropped.
    void Post(std::function<void()> call) { m_native->Post(std::move(call)); }

protected:
    // Binds `table`'s members of `window` (this very window) to its commands;
    // rows bound later take precedence.
    template <class Window, std::size_t N>
    void BindHandlers(Window* window, const CommandHandler<Window> (&table)[N]) {
        for (const CommandHandler<Window>& row : table) {
            m_handlers.push_back({row.notification, row.controlId,
                                  [window, member = row.member] { (window->*member)(); }});
        }
    }

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

    void FocusFirstTabStop() { m_native->FocusFirstTabStop(); }
    void FocusControl(int controlId) { m_native->FocusControl(controlId); }
    void SetControlTooltip(int controlId, const std::string& text);
    // A list's tooltip: `note`, or the selected item when the closed box cuts it.
    void ShowListNote(int controlId, const std::string& note = {});

private:
    struct BoundHandler {
        Notification notification;
        int controlId;
        std::function<void()> call;
    };

    void OnInitialise() override;
    void OnCommand(int controlId, Notification notification) override;
    void OnCloseBox() override;

    const DialogTemplate& m_layout;
    WindowServices& m_services;
    std::vector<BoundHandler> m_handlers;
    // Before the transaction, so that a running one is abandoned while the
    // window it posts to is still there.
    std::unique_ptr<NativeWindow> m_native;
    BackgroundTransaction m_transaction;
    std::optional<int> m_pendingEnd;
};

}  // namespace tessaly
