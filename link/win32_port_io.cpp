// Timed transfers on an overlapped serial HANDLE and the state of its line: the
// Windows side of ReadWithTimeouts, WriteBounded and ProbeLine. The driver times
// reads with the port's COMMTIMEOUTS; each transfer is also waited for with a bound
// of ours and cancelled past it, where Windows itself would wait without end.
#include <algorithm>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "link/port_access.h"
#include "link/win32_port_handle.h"

namespace tessaly {
namespace {

using Clock = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;
constexpr std::uint32_t kMaxDword = 0xFFFFFFFFu;

// How long past its own timeouts the driver may take to complete a read before it
// is cancelled.
constexpr DWORD kDriverSlackMs = 500;
// How often Write looks at the modem lines again while they are low.
constexpr int kModemPollMs = 10;

// The error the last transfer on each open port ended with, for ProbeLine: a
// hung-up port may still answer ClearCommError as if nothing had happened.
std::mutex g_failuresLock;
std::map<int, DWORD> g_failures;

void NoteTransferFailure(HANDLE handle, DWORD error) {
    std::lock_guard<std::mutex> hold(g_failuresLock);
    g_failures.emplace(PortNumber(handle), error);
}

// A transfer that ran out its time: our own cancel, or the driver's timeouts,
// which wine reports as ERROR_TIMEOUT where Windows reports success.
bool EndedByTime(DWORD error) {
    return error == ERROR_OPERATION_ABORTED || error == ERROR_TIMEOUT || error == ERROR_SEM_TIMEOUT;
}

// Runs one overlapped transfer and waits up to `waitMs` for it; one still running
// then is cancelled. Returns the bytes moved; `error` is the failure the transfer
// ended with (0 for none, and for running out of time).
DWORD Transfer(HANDLE handle, bool write, void* buffer, DWORD length, DWORD waitMs, DWORD& error) {
    error = 0;
    OVERLAPPED overlapped{};
    overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (overlapped.hEvent == nullptr) {
        error = GetLastError();
        return 0;
    }
    const BOOL started = write ? WriteFile(handle, buffer, length, nullptr, &overlapped)
                               : ReadFile(handle, buffer, length, nullptr, &overlapped);
    DWORD moved = 0;
    if (!started && GetLastError() != ERROR_IO_PENDING) {
        error = GetLastError();
    } else {
        if (WaitForSingleObject(overlapped.hEvent, waitMs) != WAIT_OBJECT_0) {
            CancelIoEx(handle, &overlapped);
        }
        if (!GetOverlappedResult(handle, &overlapped, &moved, TRUE) &&
            !EndedByTime(GetLastError())) {
            error = GetLastError();
        }
    }
    CloseHandle(overlapped.hEvent);
    return moved;
}

DWORD MsUntil(Clock::time_point end) {
    const auto left = std::chrono::ceil<Ms>(end - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<DWORD>(std::min<long long>(left, kMaxDword - 1));
}

// What an error from the port says about its line: errors of a device that went
// away (a pulled adapter, a pseudo-terminal whose other side closed) are a hang-up.
LineState LineAfter(DWORD error) {
    switch (error) {
        case ERROR_BAD_COMMAND:
        case ERROR_DEVICE_REMOVED:
        case ERROR_DEV_NOT_EXIST:
        case ERROR_GEN_FAILURE:
        case ERROR_ACCESS_DENIED:
        case ERROR_BROKEN_PIPE:
        case ERROR_HANDLE_EOF:
        case ERROR_NOT_READY:
            return LineState::HungUp;
        default:
            return LineState::Failed;
    }
}

}  // namespace

void ForgetTransferFailure(int port) {
    std::lock_guard<std::mutex> hold(g_failuresLock);
    g_failures.erase(port);
}

unsigned ReadWithTimeouts(int port, std::uint8_t* buffer, unsigned length,
                          const LinkTimeouts& timeouts) {
    // The driver ends the read by the COMMTIMEOUTS set at Open; this is only how
    // long to wait for it to do so.
    const std::uint64_t total = std::min<std::uint64_t>(
        std::uint64_t{timeouts.readTotalMultiplier} * length + timeouts.readTotalConstant,
        kMaxDword - kDriverSlackMs);
    const bool returnAtOnce = timeouts.readInterval == kMaxDword &&
                              timeouts.readTotalMultiplier == 0 && timeouts.readTotalConstant == 0;
    const bool firstByteOnly =
        timeouts.readInterval == kMaxDword && timeouts.readTotalMultiplier == kMaxDword &&
        timeouts.readTotalConstant != 0 && timeouts.readTotalConstant != kMaxDword;
    const DWORD waitMs = returnAtOnce    ? kDriverSlackMs
                         : firstByteOnly ? timeouts.readTotalConstant + kDriverSlackMs
                         : total != 0    ? static_cast<DWORD>(total) + kDriverSlackMs
                                         : kUnboundedReadCapMs;
    const HANDLE handle = PortHandle(port);
    DWORD error = 0;
    const DWORD got = Transfer(handle, false, buffer, length, waitMs, error);
    if (error != 0) {
        NoteTransferFailure(handle, error);
    }
    return got;
}

unsigned WriteBounded(int port, const std::uint8_t* buffer, unsigned length, ModemLines& lines,
                      unsigned boundMs) {
    const HANDLE handle = PortHandle(port);
    const auto end = Clock::now() + Ms(boundMs);
    unsigned done = 0;
    while (done < length) {
        const ModemLines::State state = lines.ClearToSend(port);
        if (state == ModemLines::State::Failed) {
            break;
        }
        if (state == ModemLines::State::Low) {  // output flow control on CTS and DSR
            const DWORD ms = MsUntil(end);
            if (ms == 0) {
                break;
            }
            std::this_thread::sleep_for(Ms(std::min<DWORD>(ms, kModemPollMs)));
            continue;
        }
        DWORD error = 0;
        const DWORD left = length - done;
        const DWORD moved = Transfer(handle, true, const_cast<std::uint8_t*>(buffer + done), left,
                                     MsUntil(end), error);
        done += moved;
        if (error != 0) {
            NoteTransferFailure(handle, error);
            break;
        }
        if (moved < left) {  // cancelled at the bound: the device took no more
            break;
        }
    }
    return done;
}

LineState ProbeLine(int port) {
    {
        std::lock_guard<std::mutex> hold(g_failuresLock);
        if (const auto found = g_failures.find(port); found != g_failures.end()) {
            return LineAfter(found->second);
        }
    }
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(PortHandle(port), &errors, &status)) {
        return LineAfter(GetLastError());
    }
    // Bytes lost or garbled on the line.
    const DWORD lineErrors = CE_BREAK | CE_FRAME | CE_OVERRUN | CE_RXOVER | CE_RXPARITY;
    return (errors & lineErrors) != 0 ? LineState::Failed : LineState::Sound;
}

bool WaitOutputQueueEmpty(int port, Clock::time_point end) {
    DWORD errors = 0;
    COMSTAT status{};
    while (ClearCommError(PortHandle(port), &errors, &status)) {
        if (status.cbOutQue == 0) {
            return true;
        }
        if (Clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(Ms(kModemPollMs));
    }
    return false;
}

bool DrainOutput(int port, Clock::time_point end) {
    if (!WaitOutputQueueEmpty(port, end)) {
        return false;
    }
    // Nothing is read: the line is looked at until the bytes have had their time.
    while (ProbeLine(port) == LineState::Sound) {
        const DWORD ms = MsUntil(end);
        if (ms == 0) {
            return true;
        }
        std::this_thread::sleep_for(Ms(std::min<DWORD>(ms, kModemPollMs)));
    }
    return false;
}

}  // namespace tessaly
