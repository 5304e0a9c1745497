// The main window: port, line settings and emulation, the connection check, the
// self test and the way into the editing windows. It owns the one serial link
// and the record of printers whose port it borrowed, for the whole run.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "ports/port_watcher.h"
#include "ports/serial_port_info.h"
#include "ports/silence_explanation.h"
#include "printers/printer_borrowing.h"
#include "transactions/transactions.h"
#include "ui/template_dialog.h"

namespace tessaly {

class CMainDlg : public CTemplateDialog {
public:
    // `printers` outlives the window: it was set up before the window opened and
    // gives the printers back even when the program is ended by a signal.
    CMainDlg(WindowServices& services, PrinterBorrowing& printers);
    ~CMainDlg() override;

    // The port list shows `name` chosen when the window opens: a name as the
    // command line takes it (COM1..COM10, a path, a kernel name, a by-id name).
    // A device that is not among those listed gets an item of its own.
    void ChoosePortAtStart(const std::string& name) { m_portAtStart = name; }

    // Runs the window modally, then closes the link and gives the printers their
    // port back. Returns how the window ended (IDCANCEL for "Exit").
    int RunModal();

    // Ends the run as "Exit" does, closing an editing window first if one is
    // open, so that the program leaves through the teardown; a transaction that
    // runs meanwhile finishes or stops between two commands first. For
    // termination signals; runs on the window thread.
    void EndByRequest();

    // What the window last captured and where it stands, for the operator's
    // eyes in tests.
    int Connected() const { return m_connected; }
    std::int32_t Baud() const { return m_baud; }
    std::int32_t DataBits() const { return m_dataBits; }
    std::int32_t ParityCode() const { return m_parity; }
    std::int32_t StopBits() const { return m_stopBits; }
    const std::string& PortName() const { return m_portName; }
    std::int32_t EmulationModeIndex() const { return m_emulationMode; }
    const CSerialLink& Link() const { return m_link; }
    // The window "Run Manager" has open, or null.
    CTemplateDialog* EditingWindow() const { return m_editingWindow; }
    // The devices listed after "COM10", in list order.
    const std::vector<SerialPortInfo>& ListedDevices() const { return m_listedDevices; }

    // Reads the devices present again and shows them in the port list, keeping
    // the operator's choice. The hotplug watcher calls it on the window thread.
    void RefreshPortList();
    // A device came or went: refresh now, or once the link is no longer in use,
    // so that a disconnect never pulls the link from under a transaction.
    void OnPortsChanged();
    void OnTransactionEnded() override;

protected:
    void DoDataExchange(DataExchange& dx) override;
    void OnInitDialog() override;

private:
    void OnCheckComm();
    void OnSelfTest();
    void OnRunManager();
    void OnLineSettingChanged();
    void OnPortChanged();
    void OnEmulationChanged();

    // The end of the connection check, on the window's thread.
    void ShowCheckOutcome(CheckOutcome outcome, bool reported);
    void CaptureSettings();
    // The port list (port_list.cpp): "COM1".."COM10", then one item per device
    // present that none of them opens.
    std::string SelectedPortName() const;
    // Chooses m_portAtStart in the list, once.
    void ChooseStartPort();
    void UpdatePortTooltip();
    void StartWatchingPorts();
    void ShowCheckMessage(CheckOutcome outcome, const SilenceExplanation& silence);
    void Disconnect();
    void Teardown();
    // Installed printers on the chosen port give it up while Tessaly holds it and
    // get it back at the end. False when another run holds the port: nothing was
    // touched and the port is not to be opened.
    bool ReleasePrinters(const std::string& portName);
    void RestorePrinters();

    std::int32_t m_baud = 0;
    std::int32_t m_dataBits = 0;
    std::int32_t m_parity = 0;
    std::int32_t m_stopBits = 0;
    std::string m_portName;
    CSerialLink m_link;
    PrinterBorrowing& m_printerPorts;  // printers whose port was borrowed
    int m_connected = 0;
    std::int32_t m_emulationMode = kEscPos;
    bool m_tornDown = false;
    CTemplateDialog* m_editingWindow = nullptr;  // while "Run Manager" has one open
    bool m_endRequested = false;
    std::vector<SerialPortInfo> m_presentDevices;  // every serial device found
    std::vector<SerialPortInfo> m_listedDevices;   // those after "COM10"
    std::string m_portAtStart;                     // to be chosen once the list is shown
    // A device named at start that discovery does not list; it stays in the list.
    std::optional<SerialPortInfo> m_namedDevice;
    std::unique_ptr<PortWatcher> m_portWatcher;
    // Devices came or went while the link was in use (a transaction, or an
    // editing window); the list follows once it is free again.
    bool m_portsChangedMeanwhile = false;
};

}  // namespace tessaly
