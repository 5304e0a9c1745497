#include "cli/dry_run.h"

#include <algorithm>
#include <cstdio>

namespace tessaly {

unsigned RecordingLink::Write(const std::uint8_t* buffer, unsigned length) {
    m_commands.emplace_back(buffer, buffer + length);
    const auto enter = CMD_ENTER_USER_SETTING.view();
    if (std::equal(buffer, buffer + length, enter.begin(), enter.end())) {
        // Without the identity the switch writes would never be reached.
        m_answer.insert(m_answer.end(), {kSyncByte, kIdentity0, kIdentity1, 0x00});
    }
    return length;
}

unsigned RecordingLink::Read(std::uint8_t* buffer, unsigned length, unsigned) {
    unsigned count = 0;
    while (count < length && !m_answer.empty()) {
        buffer[count++] = m_answer.front();
        m_answer.pop_front();
    }
    return count;
}

std::vector<std::vector<Byte>> SwitchWriteCommands(const SwitchSet& carried) {
    RecordingLink recorder;
    DryRunHost host;
    WriteSwitches(recorder, host, carried);
    return recorder.Commands();
}

std::string HexLine(const std::vector<Byte>& command) {
    std::string line;
    char hex[4];
    for (const Byte byte : command) {
        std::snprintf(hex, sizeof hex, "%02X", byte);
        if (!line.empty()) {
            line += ' ';
        }
        line += hex;
    }
    return line;
}

}  // namespace tessaly
