#include <chrono>

#include "transactions/sync_wait.h"
#include "transactions/transactions.h"

namespace tessaly {

namespace {

// The operator reads why before the port is closed.
CheckOutcome CloseWith(CSerialLink& link, CheckOutcome outcome, const CheckReport& report) {
    if (report) {
        report(outcome);
    }
    link.Close();
    return outcome;
}

// A display asked to enter user setting mode may have entered it whatever it
// answered; once the operator has read why, it is told to leave before the port
// closes.
CheckOutcome LeaveAndCloseWith(CSerialLink& link, CheckOutcome outcome, const CheckReport& report) {
    if (report) {
        report(outcome);
    }
    WriteCommand(link, CMD_EXIT_USER_SETTING);
    link.Close();
    return outcome;
}

// ESC/POS: the display proves itself by the identity it gives on entering user
// setting mode, which it leaves again at once.
CheckOutcome GreetEscPosDisplay(CSerialLink& link, TransactionHost& host,
                                const CheckReport& report) {
    ReceiveBuffer buffer{};
    WriteCommand(link, CMD_INITIALIZE);
    WriteCommand(link, CMD_SELECT_DISPLAY);
    host.Wait(300);
    link.Read(buffer.data(), 3, 1000);  // whatever the selection answers is of no use
    WriteCommand(link, CMD_ENTER_USER_SETTING);
    buffer.fill(0);
    host.Wait(300);
    // A run asked to stop does not wait a second for an answer it will not use.
    const auto stopped = [&host] { return host.StopRequested(); };
    if (!AwaitSyncByte(link, buffer, std::chrono::steady_clock::now(), 0, stopped)) {
        return LeaveAndCloseWith(link, CheckOutcome::NoAnswer, report);
    }
    // An identity cut short is a line that failed, not another maker's display.
    if (link.Read(buffer.data(), 3, 1000) < 2) {
        return LeaveAndCloseWith(link, CheckOutcome::NoAnswer, report);
    }
    if (buffer[0] != kIdentity0 || buffer[1] != kIdentity1) {
        return LeaveAndCloseWith(link, CheckOutcome::WrongIdentity, report);
    }
    if (report) {
        report(CheckOutcome::Connected);
    }
    // A display that never took the command to leave is still in user setting mode.
    if (!WriteCommand(link, CMD_EXIT_USER_SETTING) || !link.Drain()) {
        return CloseWith(link, CheckOutcome::PortError, report);
    }
    return CheckOutcome::Connected;
}

}  // namespace

CheckOutcome CheckConnection(CSerialLink& link, const LinkSettings& settings, EmulationMode mode,
                             TransactionHost& host, const std::function<void()>& announce) {
    return CheckConnection(link, settings, mode, host, CheckReport([&](CheckOutcome outcome) {
                               if (outcome == CheckOutcome::Connected && announce) {
                                   announce();
                               }
                           }));
}

CheckOutcome CheckConnection(CSerialLink& link, const LinkSettings& settings, EmulationMode mode,
                             TransactionHost& host, const CheckReport& report) {
    if (!link.Configure(settings)) {
        return CheckOutcome::ConfigureError;
    }
    if (!link.Open()) {
        return CheckOutcome::OpenFailed;
    }
    if (!WriteCommand(link, CMD_INITIALIZE)) {
        return CloseWith(link, CheckOutcome::PortError, report);
    }
    if (mode != kEscPos) {
        // The framed family has nothing to answer with; the line must stay up
        // until the command has had time to reach the display.
        if (!link.Drain()) {
            return CloseWith(link, CheckOutcome::PortError, report);
        }
        if (report) {
            report(CheckOutcome::Connected);
        }
        return CheckOutcome::Connected;
    }
    return GreetEscPosDisplay(link, host, report);
}

}  // namespace tessaly
