// Discovery on Windows, through the ports the registry's SERIALCOMM map lists.
// Wine sets up no Plug and Play ports, so what SetupAPI adds (maker, USB
// identity, driver) runs only on real Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

#include "ports/device_names.h"
#include "ports/port_discovery.h"

namespace tessaly {
namespace {

class SerialComm : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(
            ERROR_SUCCESS,
            RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                            REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &m_key, nullptr));
        Add(L"\\Device\\TessalyTest42", L"COM42");
        Add(L"\\Device\\TessalyTest9", L"COM9");
    }
    void TearDown() override {
        RegDeleteValueW(m_key, L"\\Device\\TessalyTest42");
        RegDeleteValueW(m_key, L"\\Device\\TessalyTest9");
        RegCloseKey(m_key);
    }
    void Add(const wchar_t* device, const wchar_t* com) {
        RegSetValueExW(m_key, device, 0, REG_SZ, reinterpret_cast<const BYTE*>(com),
                       static_cast<DWORD>((wcslen(com) + 1) * sizeof(wchar_t)));
    }

    HKEY m_key = nullptr;
};

TEST_F(SerialComm, ListsEveryComPortInNumberOrder) {
    const std::vector<SerialPortInfo> ports = DiscoverSerialPorts();
    auto at = [&](const char* com) {
        return std::find_if(ports.begin(), ports.end(),
                            [&](const SerialPortInfo& p) { return p.kernelName == com; });
    };
    ASSERT_NE(ports.end(), at("COM42"));
    ASSERT_LT(at("COM9"), at("COM42"));
    EXPECT_EQ("\\\\.\\COM42", at("COM42")->devicePath);
    EXPECT_EQ("COM42", ComNameOf(*at("COM42")));
    EXPECT_TRUE(Opens(ResolveDeviceName("com42"), *at("COM42")));
    EXPECT_FALSE(Opens(ResolveDeviceName("COM4"), *at("COM42")));
    const std::vector<SerialPortInfo> beyond = PortsBeyondComNames(ports);
    EXPECT_TRUE(std::any_of(beyond.begin(), beyond.end(),
                            [](const SerialPortInfo& p) { return p.kernelName == "COM42"; }));
    EXPECT_FALSE(std::any_of(beyond.begin(), beyond.end(),
                             [](const SerialPortInfo& p) { return p.kernelName == "COM9"; }));
}

}  // namespace
}  // namespace tessaly
