#include "cli/display_session.h"

#include "cli/command_line.h"
#include "link/port_name.h"
#include "ports/open_failure_text.h"
#include "ports/silence_explanation.h"
#include "transactions/outcome_text.h"

namespace tessaly {

DisplaySession::DisplaySession(const CliRequest& request, const CliStreams& streams,
                               const BorrowPrinters& borrowPrinters, const StopRequest* stop)
    : m_request(request),
      m_streams(streams),
      m_borrowPrinters(borrowPrinters),
      m_host(streams.progressBar ? &streams.err : nullptr, stop) {}

bool DisplaySession::Connect(bool borrowPrinters) {
    if (Stopped()) {
        return false;
    }
    if (borrowPrinters && m_borrowPrinters) {
        PrinterBorrowing* printers = m_borrowPrinters();
        if (printers != nullptr && !printers->ReleasePrinters(m_request.link.portName)) {
            // Another run has the port: it keeps its printers, and this run ends here.
            return FailToOpen(CheckOutcome::OpenFailed,
                              HeldByAnotherRun(ResolvePortName(m_request.link.portName)));
        }
    }
    if (Stopped()) {
        return false;
    }
    SilenceExplanation silence;
    const CheckOutcome outcome = CheckConnection(
        m_link, m_request.link, m_request.emulation, m_host, CheckReport([&](CheckOutcome o) {
            if (o == CheckOutcome::NoAnswer) {
                silence = ExplainSilence(m_link);  // while the port is still open
            }
        }));
    if (outcome == CheckOutcome::OpenFailed || outcome == CheckOutcome::ConfigureError) {
        return FailToOpen(outcome, m_link.LastFailure());
    }
    if (outcome == CheckOutcome::NoAnswer && !silence.detail.empty()) {
        Fail(silence.portGone ? kPortGoneText : CheckOutcomeText(outcome), kExitDevice);
        m_streams.err << silence.detail << '\n';
        return false;
    }
    if (outcome != CheckOutcome::Connected) {
        Fail(CheckOutcomeText(outcome), kExitDevice);
        return false;
    }
    return !Stopped();
}

// The windows' sentence, then the device, the system's reason and the remedy.
bool DisplaySession::FailToOpen(CheckOutcome outcome, const OpenFailure& failure) {
    m_openFailed = true;
    Fail(CheckOutcomeText(outcome), kExitOpen);
    m_streams.err << ExplainOpenFailure(failure).Text() << '\n';
    return false;
}

bool DisplaySession::ReadGrid(SwitchGrid& grid) {
    SwitchSet read{};
    const ReadOutcome outcome = ReadSwitches(m_link, m_host, read);
    if (outcome != ReadOutcome::Complete) {
        Fail(ReadOutcomeText(outcome), kExitDevice);
        return false;
    }
    m_host.ClearBar();
    grid.Clear();
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        grid.StoreBits(group, read[group]);
    }
    return true;
}

int DisplaySession::WriteGrid(const SwitchGrid& grid) {
    return WriteGridQuietly(grid) ? Succeed(WriteOutcomeText(WriteOutcome::Complete)) : kExitDevice;
}

bool DisplaySession::WriteGridQuietly(const SwitchGrid& grid) {
    const WriteOutcome outcome = WriteSwitches(m_link, m_host, CarriedSwitches(grid));
    if (outcome != WriteOutcome::Complete) {
        Fail(WriteOutcomeText(outcome), kExitDevice);
        return false;
    }
    m_host.ClearBar();
    return true;
}

int DisplaySession::Sent(bool sent, const char* failedText) {
    return sent ? kExitSuccess : Fail(failedText, kExitDevice);
}

int DisplaySession::Fail(const char* sentence, int status) {
    m_host.ClearBar();
    m_streams.err << sentence << '\n';
    return status;
}

int DisplaySession::Succeed(const char* sentence) {
    m_host.ClearBar();
    m_streams.out << sentence << '\n';
    return kExitSuccess;
}

SwitchSet CarriedSwitches(const SwitchGrid& grid) {
    SwitchSet carried{};
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        carried[group] = grid.CarriedBits(group);
    }
    return carried;
}

}  // namespace tessaly
