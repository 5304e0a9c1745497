// CTS and DSR from GetCommModemStatus.
#include "link/port_access.h"
#include "link/win32_port_handle.h"

namespace tessaly {
namespace {

// A driver without modem lines (wine's on a pseudo-terminal, some virtual ports)
// answers ERROR_NOT_SUPPORTED: Unsupported, which the link treats as both lines
// asserted. Any other failure is Failed.
class CommModemLines : public ModemLines {
public:
    State ClearToSend(int port) override {
        DWORD status = 0;
        if (!GetCommModemStatus(PortHandle(port), &status)) {
            return GetLastError() == ERROR_NOT_SUPPORTED ? State::Unsupported : State::Failed;
        }
        const DWORD both = MS_CTS_ON | MS_DSR_ON;
        return (status & both) == both ? State::Asserted : State::Low;
    }
};

}  // namespace

std::unique_ptr<ModemLines> PlatformModemLines() {
    return std::make_unique<CommModemLines>();
}

}  // namespace tessaly
