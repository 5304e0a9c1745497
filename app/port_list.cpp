// The main window's port list: "COM1" to "COM10" as they always were, then the
// serial devices present that none of them opens, followed as they come and go.
#include <utility>

#include "app/main_dlg.h"
#include "link/port_name.h"
#include "ports/com_port_ids.h"
#include "ports/device_names.h"
#include "ports/device_presence.h"
#include "ports/port_discovery.h"
#include "resources/control_ids.h"
#include "resources/main_lists.h"

namespace tessaly {

namespace {

constexpr int kComItems = static_cast<int>(kPortItems.size());

const SerialPortInfo* DeviceAt(const std::vector<SerialPortInfo>& devices, int index) {
    const int at = index - kComItems;
    return at >= 0 && at < static_cast<int>(devices.size()) ? &devices[at] : nullptr;
}

int IndexOf(const std::vector<SerialPortInfo>& devices, const std::string& stablePath) {
    for (std::size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].stablePath == stablePath) {
            return kComItems + static_cast<int>(i);
        }
    }
    return -1;
}

// "/dev/ttyUSB0 (FTDI FT232R USB UART, serial A10KZP3S, 0403:6001, ftdi_sio)"
std::string DeviceText(const std::string& path, const std::vector<SerialPortInfo>& present) {
    for (const SerialPortInfo& port : present) {
        if (Opens(path, port)) {
            const std::string description = port.Description();
            return description.empty() ? path : path + " (" + description + ")";
        }
    }
    return DeviceIsGone(path) ? path + " (not present)" : path;
}

}  // namespace

std::string CMainDlg::SelectedPortName() const {
    const int index = GetListIndex(IDC_PORT);
    if (const SerialPortInfo* device = DeviceAt(m_listedDevices, index)) {
        return device->stablePath;
    }
    return GetListText(IDC_PORT, index);  // "COMn"; "" when nothing is chosen
}

void CMainDlg::RefreshPortList() {
    const int selected = GetListIndex(IDC_PORT);
    const SerialPortInfo* chosen = DeviceAt(m_listedDevices, selected);
    const std::string chosenPath = chosen != nullptr ? chosen->stablePath : std::string();

    m_presentDevices = DiscoverSerialPorts(PortHolders::Skip);  // the list does not show them
    m_listedDevices = PortsBeyondComNames(m_presentDevices);
    if (m_namedDevice && IndexOf(m_listedDevices, m_namedDevice->stablePath) < 0) {
        m_listedDevices.push_back(*m_namedDevice);
    }
    std::vector<std::string> labels;
    for (const SerialPortInfo& device : m_listedDevices) {
        labels.push_back(device.Label());
    }
    Native().ReplaceListItems(IDC_PORT, kComItems, labels);
    // The operator's choice stays where it was; a device that went leaves the
    // list with no choice rather than quietly choosing another port.
    const int keep = chosenPath.empty() ? selected : IndexOf(m_listedDevices, chosenPath);
    SetListIndex(IDC_PORT, keep);
    UpdatePortTooltip();

    const bool chosenGone = !chosenPath.empty() && keep < 0;
    if (m_connected == 1 && (chosenGone || DeviceIsGone(ResolvePortName(m_portName)))) {
        Disconnect();
    }
}

void CMainDlg::ChooseStartPort() {
    if (m_portAtStart.empty()) {
        return;
    }
    const std::string name = std::exchange(m_portAtStart, {});
    // "COM1".."COM10", in any case, are the list's own items.
    if (const int number = ComNumber(name); number >= 1 && number <= kComItems) {
        SetListIndex(IDC_PORT, number - 1);
        UpdatePortTooltip();
        return;
    }
    const std::string path = ResolveDeviceName(name);
    int index = -1;
    for (std::size_t i = 0; i < m_listedDevices.size() && index < 0; ++i) {
        if (Opens(path, m_listedDevices[i])) {
            index = kComItems + static_cast<int>(i);
        }
    }
    for (int i = 0; i < kComItems && index < 0; ++i) {
        if (SameDevice(ResolvePortName(kPortItems[i]), path)) {
            index = i;
        }
    }
    if (index < 0) {
        // Not discovered (a pseudo-terminal, or an adapter not plugged in yet): the
        // path is listed as it stands, and opening it says what is wrong with it.
        SerialPortInfo named;
        named.kernelName = path;
        named.devicePath = path;
        named.stablePath = path;
        m_namedDevice = named;
        RefreshPortList();
        index = IndexOf(m_listedDevices, path);
    }
    SetListIndex(IDC_PORT, index);
    UpdatePortTooltip();
}

void CMainDlg::OnPortsChanged() {
    if (TransactionRunning() || m_editingWindow != nullptr) {
        m_portsChangedMeanwhile = true;
        return;
    }
    m_portsChangedMeanwhile = false;
    RefreshPortList();
}

void CMainDlg::OnTransactionEnded() {
    if (m_portsChangedMeanwhile) {
        OnPortsChanged();
    }
}

void CMainDlg::UpdatePortTooltip() {
    const int index = GetListIndex(IDC_PORT);
    std::string tip;
    if (const SerialPortInfo* device = DeviceAt(m_listedDevices, index)) {
        tip = "Opens " + device->stablePath + "\n" + device->kernelName + ": " +
              device->Description();
    } else if (index >= 0) {
        const std::string com = GetListText(IDC_PORT, index);
        tip = com + " opens " + DeviceText(ResolvePortName(com), m_presentDevices);
    } else {
        tip = "No port is chosen: the device that was chosen is no longer present.";
    }
    SetControlTooltip(IDC_PORT, tip);
}

void CMainDlg::StartWatchingPorts() {
    m_portWatcher = std::make_unique<PortWatcher>([this] { Post([this] { OnPortsChanged(); }); });
}

}  // namespace tessaly
