#include "app/main_dlg.h"

#include <cstdlib>
#include <memory>

#include "app/editing_windows.h"
#include "link/port_name.h"
#include "ports/open_failure_text.h"
#include "ports/silence_explanation.h"
#include "resources/control_ids.h"
#include "resources/dialog_template.h"
#include "transactions/outcome_text.h"

namespace tessaly {

namespace {

MessageIcon CheckIcon(CheckOutcome outcome) {
    switch (outcome) {
        case CheckOutcome::Connected:
            return MessageIcon::Information;
        case CheckOutcome::ConfigureError:
            return MessageIcon::None;
        default:
            return MessageIcon::Exclamation;
    }
}

// The leading decimal digits of a list item ("115200" -> 115200, "" -> 0).
std::int32_t LeadingNumber(const std::string& text) {
    return static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

EmulationMode AsEmulation(std::int32_t index) {
    return static_cast<EmulationMode>(index);
}

}  // namespace

CMainDlg::CMainDlg(WindowServices& services, PrinterBorrowing& printers)
    : CTemplateDialog(kMainTemplate, services), m_printerPorts(printers) {
    static constexpr CommandHandler<CMainDlg> kHandlers[] = {
        {Notification::Clicked, IDC_CHECK_COMM, &CMainDlg::OnCheckComm},
        {Notification::Clicked, IDC_SELF_TEST, &CMainDlg::OnSelfTest},
        {Notification::Clicked, IDC_RUN_MANAGER, &CMainDlg::OnRunManager},
        {Notification::SelectionChanged, IDC_PORT, &CMainDlg::OnPortChanged},
        {Notification::SelectionChanged, IDC_BAUD, &CMainDlg::OnLineSettingChanged},
        {Notification::SelectionChanged, IDC_DATA_BITS, &CMainDlg::OnLineSettingChanged},
        {Notification::SelectionChanged, IDC_PARITY, &CMainDlg::OnLineSettingChanged},
        {Notification::SelectionChanged, IDC_EMULATION, &CMainDlg::OnEmulationChanged},
    };
    BindHandlers(this, kHandlers);
}

CMainDlg::~CMainDlg() {
    AbandonTransaction();   // its work uses m_link, which goes before the base class
    m_portWatcher.reset();  // no refresh may be queued for a window that is going
    Teardown();
}

int CMainDlg::RunModal() {
    const int result = ShowModal();
    Teardown();
    return result;
}

void CMainDlg::DoDataExchange(DataExchange& dx) {
    dx.ListIndex(IDC_EMULATION, m_emulationMode);
}

void CMainDlg::OnInitDialog() {
    CTemplateDialog::OnInitDialog();
    Native().UseProgramIcon();
    // The devices present join "COM1".."COM10" once the window is on the screen:
    // asking the system for them should not hold the window back.
    Post([this] {
        Native().PaintNow();  // the window reaches the screen first
        RefreshPortList();
        ChooseStartPort();
    });
    StartWatchingPorts();
    // Every list already shows its first choice from the window's template.
    FocusControl(IDCANCEL);
}

void CMainDlg::CaptureSettings() {
    UpdateData(true);
    m_portName = SelectedPortName();
    m_baud = LeadingNumber(GetListText(IDC_BAUD, GetListIndex(IDC_BAUD)));
    m_dataBits = LeadingNumber(GetListText(IDC_DATA_BITS, GetListIndex(IDC_DATA_BITS)));
    // Typed text leaves the box without a selection; the last good code stands.
    const int parity = GetListIndex(IDC_PARITY);
    if (parity >= 0 && parity <= 2) {
        m_parity = parity;
    }
    m_stopBits = GetListIndex(IDC_STOP_BITS);
}

void CMainDlg::OnCheckComm() {
    if (m_connected == 1) {
        return;
    }
    CaptureSettings();
    LinkSettings settings;
    settings.portName = m_portName;
    settings.baud = m_baud;
    settings.dataBits = m_dataBits;
    settings.stopBits = m_stopBits;
    settings.parity = m_parity;
    settings.flowControl = 0;
    settings.timeouts = kMainWindowTimeouts;

    UpdateData(true);
    if (!ReleasePrinters(m_portName)) {
        // Another run has the port and keeps its printers; this check ends here.
        Services().ShowMessageWithDetail(
            this, CheckOutcomeText(CheckOutcome::OpenFailed),
            ExplainOpenFailure(HeldByAnotherRun(ResolvePortName(m_portName))).Text(),
            CheckIcon(CheckOutcome::OpenFailed));
        return;
    }

    struct Result {
        CheckOutcome outcome = CheckOutcome::OpenFailed;
        bool reported = false;
    };
    auto result = std::make_shared<Result>();
    const EmulationMode mode = AsEmulation(m_emulationMode);
    RunTransaction(
        nullptr,
        [this, settings, mode, result](BackgroundHost& host) {
            // The operator reads the outcome while the port is still held: before
            // the display is told to leave user setting mode, or the port is closed.
            const CheckReport report = [&](CheckOutcome outcome) {
                SilenceExplanation silence;
                if (outcome == CheckOutcome::NoAnswer) {
                    silence = ExplainSilence(m_link);
                }
                host.OnWindowThread([&] {
                    if (!EndRequested()) {
                        ShowCheckMessage(outcome, silence);
                    }
                    result->reported = true;
                });
            };
            result->outcome = CheckConnection(m_link, settings, mode, host, report);
        },
        [this, result] { ShowCheckOutcome(result->outcome, result->reported); });
}

void CMainDlg::ShowCheckOutcome(CheckOutcome outcome, bool reported) {
    m_connected = (outcome == CheckOutcome::Connected && m_link.IsOpen()) ? 1 : 0;
    if (!reported && !EndRequested()) {
        ShowCheckMessage(outcome, {});
    }
    if (m_connected == 1) {
        EnableControl(IDC_SELF_TEST, true);
        EnableControl(IDC_RUN_MANAGER, true);
        EnableControl(IDC_CHECK_COMM, false);
    }
}

// A port that cannot be opened or configured keeps its sentence; the second text
// names the device, the system's reason and the remedy. A display that did not
// answer gets the cause where it can be seen, else what to try next.
void CMainDlg::ShowCheckMessage(CheckOutcome outcome, const SilenceExplanation& silence) {
    if (outcome == CheckOutcome::OpenFailed || outcome == CheckOutcome::ConfigureError) {
        Services().ShowMessageWithDetail(this, CheckOutcomeText(outcome),
                                         ExplainOpenFailure(m_link.LastFailure()).Text(),
                                         CheckIcon(outcome));
        return;
    }
    if (outcome == CheckOutcome::NoAnswer && !silence.detail.empty()) {
        Services().ShowMessageWithDetail(
            this, silence.portGone ? kPortGoneText : CheckOutcomeText(outcome), silence.detail,
            CheckIcon(outcome));
        return;
    }
    Services().ShowMessage(this, CheckOutcomeText(outcome), CheckIcon(outcome));
}

void CMainDlg::OnSelfTest() {
    const EmulationMode mode = AsEmulation(m_emulationMode);
    RunSend([this, mode] { return SelfTest(m_link, mode); }, kSendFailedText);
}

void CMainDlg::OnRunManager() {
    std::unique_ptr<CTemplateDialog> editor =
        CreateEditingWindow(AsEmulation(m_emulationMode), &m_link, Services());
    m_editingWindow = editor.get();
    editor->CentreOver(*this);
    editor->ShowModal();
    m_editingWindow = nullptr;
    if (m_endRequested) {
        EndDialog(IDCANCEL);
        return;
    }
    OnTransactionEnded();
}

void CMainDlg::EndByRequest() {
    m_endRequested = true;
    if (m_editingWindow != nullptr) {
        m_editingWindow->RequestEnd(IDCANCEL);  // the main window follows when it returns
    } else {
        RequestEnd(IDCANCEL);
    }
}

void CMainDlg::OnLineSettingChanged() {
    if (m_connected == 1) {
        Disconnect();
    }
}

void CMainDlg::OnPortChanged() {
    UpdatePortTooltip();
    OnLineSettingChanged();
}

void CMainDlg::OnEmulationChanged() {
    m_emulationMode = GetListIndex(IDC_EMULATION);
    if (m_connected == 1) {
        Disconnect();
    }
}

void CMainDlg::Disconnect() {
    m_link.Close();
    EnableControl(IDC_SELF_TEST, false);
    EnableControl(IDC_RUN_MANAGER, false);
    EnableControl(IDC_CHECK_COMM, true);
    m_connected = 0;
}

void CMainDlg::Teardown() {
    if (m_tornDown) {
        return;
    }
    m_tornDown = true;
    if (m_connected == 1) {
        m_link.Close();
        m_connected = 0;
    }
    RestorePrinters();
}

bool CMainDlg::ReleasePrinters(const std::string& portName) {
    return m_printerPorts.ReleasePrinters(portName);
}

void CMainDlg::RestorePrinters() {
    m_printerPorts.RestorePrinters();
}

}  // namespace tessaly
