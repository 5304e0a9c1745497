#include <chrono>

#include "transactions/sync_wait.h"
#include "transactions/transactions.h"

namespace tessaly {

namespace {

Byte SwitchNumber(int group) {
    return static_cast<Byte>(kFirstSwitch + group);
}

// One query: 0x57 within the bound, then the reply through its last digit, or nothing.
bool QuerySwitchInto(CSerialLink& link, TransactionHost& host, int group, SwitchBits& bits) {
    if (!WriteCommand(link, QuerySwitch(SwitchNumber(group)))) {
        return false;
    }
    ReceiveBuffer buffer{};
    host.Wait(300);
    const auto started = std::chrono::steady_clock::now();
    const bool gotOne = link.Read(buffer.data(), 1, 1000) == 1;
    host.StepProgress();
    const std::size_t skipped = gotOne && buffer[0] != kSyncByte ? 1 : 0;
    if (!AwaitSyncByte(link, buffer, started, skipped)) {
        return false;
    }
    // A reply cut short would leave digits of 0x00, which read as set bits. The
    // byte after the digits says nothing, so a display that leaves it out is heard.
    if (link.Read(buffer.data(), kQueryReplyLength, 1000) < kQueryReplyDigitsEnd) {
        return false;
    }
    const SwitchBits parsed =
        ParseQueryReply(std::span<const Byte, kQueryReplyLength>(buffer.data(), kQueryReplyLength));
    for (std::size_t k = 0; k < bits.size(); ++k) {
        bits[k] = parsed[k];
        host.StepProgress();
    }
    return true;
}

// Complete once the display is in user setting mode; otherwise how the write ends.
// Stops are looked at between commands only; once INITIALIZE is out the caller
// leaves user setting mode whatever this returns. No switch has gone out yet, so
// a command that fails here is NoAnswer: a display that hangs up as it takes the
// request to enter is seen either by the line after that write or by the wait for
// its answer, and both mean the same to the operator.
WriteOutcome EnterUserSetting(CSerialLink& link, TransactionHost& host) {
    ReceiveBuffer buffer{};
    if (!WriteCommand(link, CMD_INITIALIZE)) {
        return WriteOutcome::NoAnswer;
    }
    if (host.StopRequested()) {
        return WriteOutcome::Stopped;
    }
    if (!WriteCommand(link, CMD_SELECT_DISPLAY)) {
        return WriteOutcome::NoAnswer;
    }
    host.Wait(300);
    link.Read(buffer.data(), 3, 1000);
    if (host.StopRequested()) {
        return WriteOutcome::Stopped;
    }
    if (!WriteCommand(link, CMD_ENTER_USER_SETTING)) {
        return WriteOutcome::NoAnswer;
    }
    buffer.fill(0);
    host.Wait(300);
    if (host.StopRequested()) {
        return WriteOutcome::Stopped;  // its answer is of no use any more
    }
    if (!AwaitSyncByte(link, buffer, std::chrono::steady_clock::now())) {
        return WriteOutcome::NoAnswer;
    }
    link.Read(buffer.data(), 3, 1000);  // the identity was checked when the port was opened
    return WriteOutcome::Complete;
}

// Every way out of user setting mode but the last one: the display must not be
// left in it, whatever the link still takes.
WriteOutcome LeaveWith(CSerialLink& link, WriteOutcome outcome) {
    WriteCommand(link, CMD_EXIT_USER_SETTING);
    return outcome;
}

}  // namespace

ReadOutcome ReadSwitches(CSerialLink& link, TransactionHost& host, SwitchSet& out) {
    host.SetProgress(0);
    if (host.StopRequested()) {
        return ReadOutcome::Stopped;
    }
    ReceiveBuffer buffer{};
    if (!WriteCommand(link, CMD_SELECT_DISPLAY)) {
        return ReadOutcome::NoAnswer;
    }
    host.Wait(300);
    link.Read(buffer.data(), 3, 1000);
    SwitchSet scratch{};
    for (int group = 0; group < kSwitchCount; ++group) {
        if (host.StopRequested()) {
            return ReadOutcome::Stopped;
        }
        if (!QuerySwitchInto(link, host, group, scratch[group])) {
            return ReadOutcome::NoAnswer;
        }
    }
    out = scratch;
    host.SetProgress(100);
    return ReadOutcome::Complete;
}

WriteOutcome WriteSwitches(CSerialLink& link, TransactionHost& host, const SwitchSet& carried) {
    host.SetProgress(0);
    if (host.StopRequested()) {
        return WriteOutcome::Stopped;  // nothing sent, nothing to leave
    }
    if (const WriteOutcome entry = EnterUserSetting(link, host); entry != WriteOutcome::Complete) {
        // It may have entered user setting mode all the same.
        return LeaveWith(link, entry);
    }
    host.StepProgress();
    for (int group = 0; group < kSwitchCount; ++group) {
        if (host.StopRequested()) {
            return LeaveWith(link, WriteOutcome::Stopped);
        }
        if (!WriteCommand(link, WriteSwitch(SwitchNumber(group), carried[group]))) {
            return LeaveWith(link, WriteOutcome::WriteFailed);
        }
        if (group < kSwitchCount - 1) {
            host.StepProgress();
        }
    }
    if (!WriteCommand(link, CMD_EXIT_USER_SETTING)) {
        return WriteOutcome::WriteFailed;
    }
    // Time for the display to take the new settings before anything else is sent.
    // The commands left with full counts, but only the driver had taken them: a
    // display that hangs up now may never have read the last switches.
    for (int i = 0; i < 2; ++i) {
        host.StepProgress();
        host.Wait(1000);
        if (link.Line() != LineState::Sound) {
            return WriteOutcome::WriteFailed;
        }
        if (host.StopRequested()) {
            return WriteOutcome::Stopped;
        }
        host.StepProgress();
    }
    host.SetProgress(100);
    return WriteOutcome::Complete;
}

}  // namespace tessaly
