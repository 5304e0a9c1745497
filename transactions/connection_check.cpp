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
    if (!AwaitSyncByte(link, buffer, std::chrono::steady_clock::now())) {
        return CloseWith(link, CheckOutcome::NoAnswer, report);
    }
    // An identity cut short is a line that failed, not another maker's display.
    if (link.Read(buffer.data(), 3, 1000) < 2) {
        return CloseWith(link, CheckOutcome::NoAnswer, report);
    }
    if (buffer[0] != kIdentity0 || buffer[1] != kIdentity1) {
        return CloseWith(link, CheckOutcome::WrongIdentity, report);
    }
    if (report) {
        report(CheckOutcome::Connected);
    }
    WriteCommand(link, CMD_EXIT_USER_SETTING);
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
        // The framed family has nothing to answer with.
        if (report) {
            report(CheckOutcome::Connected);
        }
        return CheckOutcome::Connected;
    }
    return GreetEscPosDisplay(link, host, report);
}

}  // namespace tessaly
