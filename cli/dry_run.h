// A dry run takes what a transaction writes instead of sending it: the same
// transaction code runs against a link that keeps each write as one command and
// answers user setting mode as a display would, so the commands are exactly
// those a real run sends.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "link/serial_link.h"
#include "protocol/commands.h"
#include "transactions/transactions.h"

namespace tessaly {

class RecordingLink : public CSerialLink {
public:
    unsigned Write(const std::uint8_t* buffer, unsigned length) override;
    unsigned Read(std::uint8_t* buffer, unsigned length, unsigned timeoutMs) override;
    bool Drain() override { return true; }

    const std::vector<std::vector<Byte>>& Commands() const { return m_commands; }

private:
    std::vector<std::vector<Byte>> m_commands;
    std::deque<Byte> m_answer;
};

// Nothing is on the line, so there is nothing to wait for and no progress to show.
class DryRunHost : public TransactionHost {
public:
    void Wait(int) override {}
    void SetProgress(int) override {}
    void StepProgress() override {}
};

// The commands a write of the five switches puts on the line, in order.
std::vector<std::vector<Byte>> SwitchWriteCommands(const SwitchSet& carried);

// "1B 40": upper-case hex, one space between bytes.
std::string HexLine(const std::vector<Byte>& command);

}  // namespace tessaly
