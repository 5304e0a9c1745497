// Opening, configuring and releasing a port with the Win32 serial API: the
// Windows side of OpenPort and ReleasePort.
#include <chrono>
#include <thread>

#include "files/win32_utf16.h"
#include "link/port_access.h"
#include "link/port_name.h"
#include "link/win32_port_handle.h"

namespace tessaly {
namespace {

// The line items of the settings in the driver's control block. CTS and DSR are
// watched by Write itself, as on Linux; DTR is held on, RTS only with flow control.
// False when an item has no DCB form.
bool ApplyLineItems(DCB& dcb, const LinkSettings& s) {
    if (s.baud <= 0 || s.dataBits < 5 || s.dataBits > 8 || s.parity < 0 || s.parity > 2 ||
        s.stopBits < 0 || s.stopBits > 2) {
        return false;
    }
    dcb.BaudRate = static_cast<DWORD>(s.baud);
    dcb.ByteSize = static_cast<BYTE>(s.dataBits);
    dcb.Parity = static_cast<BYTE>(s.parity);      // NOPARITY, ODDPARITY, EVENPARITY
    dcb.StopBits = static_cast<BYTE>(s.stopBits);  // ONESTOPBIT, ONE5STOPBITS, TWOSTOPBITS
    dcb.fBinary = TRUE;
    dcb.fParity = s.parity != 0;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fRtsControl = s.flowControl != 0 ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
    dcb.fOutX = s.flowControl != 0;
    dcb.fInX = s.flowControl != 0;
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.fNull = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fAbortOnError = FALSE;  // a line error must not fail every later call
    return true;
}

int Fail(HANDLE handle, OpenFailure& failure, OpenStep step, DWORD error) {
    failure.step = step;
    failure.error = static_cast<int>(error);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
    }
    return -1;
}

}  // namespace

int OpenPort(const std::string& portName, const LinkSettings& settings, OpenFailure& failure) {
    const std::string path = ResolvePortName(portName);
    failure = OpenFailure{};
    failure.path = path;
    failure.baud = settings.baud;
    // No sharing: a port held by any program, this one included, is refused with
    // ERROR_ACCESS_DENIED. Overlapped, so that every transfer has a bound of ours.
    const HANDLE handle = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return Fail(handle, failure, OpenStep::Open, GetLastError());
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb)) {
        return Fail(handle, failure, OpenStep::ReadLineState, GetLastError());
    }
    if (!ApplyLineItems(dcb, settings)) {
        return Fail(handle, failure, OpenStep::LineItems, 0);
    }
    if (!SetCommState(handle, &dcb)) {
        return Fail(handle, failure, OpenStep::ApplyLineState, GetLastError());
    }
    // A driver that cannot give the rate may keep another one.
    DCB applied{};
    applied.DCBlength = sizeof applied;
    if (!GetCommState(handle, &applied)) {
        return Fail(handle, failure, OpenStep::ApplyLineState, GetLastError());
    }
    if (applied.BaudRate != dcb.BaudRate) {
        return Fail(handle, failure, OpenStep::SpeedNotTaken, 0);
    }
    // The read timeouts as they were given; the write bound is timed by WriteBounded.
    const LinkTimeouts& t = settings.timeouts;
    COMMTIMEOUTS timeouts{t.readInterval, t.readTotalMultiplier, t.readTotalConstant,
                          t.writeTotalMultiplier, t.writeTotalConstant};
    if (!SetCommTimeouts(handle, &timeouts)) {
        return Fail(handle, failure, OpenStep::ApplyLineState, GetLastError());
    }
    PurgeComm(handle, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    ForgetTransferFailure(PortNumber(handle));
    return PortNumber(handle);
}

void ReleasePort(int port, unsigned drainMs) {
    const HANDLE handle = PortHandle(port);
    const bool drained = WaitOutputQueueEmpty(
        port, std::chrono::steady_clock::now() + std::chrono::milliseconds(drainMs));
    // Only what could not drain is thrown away, so that the last command a program
    // writes right before it closes still leaves.
    if (!drained) {
        PurgeComm(handle, PURGE_TXABORT | PURGE_TXCLEAR);
    }
    ForgetTransferFailure(port);
    CloseHandle(handle);
}

}  // namespace tessaly
