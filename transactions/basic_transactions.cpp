#include "transactions/sync_wait.h"
#include "transactions/transactions.h"

namespace tessaly {

// None of these reads a reply: the display acknowledges nothing in them.

void SelfTest(CSerialLink& link, EmulationMode mode) {
    WriteCommand(link, mode == kEscPos ? CMD_SELF_TEST : CMD_SHOW_INFO);
}

void SendBasicSettings(CSerialLink& link, std::int32_t codeTableValue, std::int32_t intlSet) {
    WriteCommand(link, SetIntlSet(static_cast<Byte>(intlSet & 0xFF)));
    WriteCommand(link, SetCodeTable(static_cast<Byte>(codeTableValue & 0xFF)));
}

void ShowInformation(CSerialLink& link) {
    WriteCommand(link, CMD_SHOW_INFO);
}

}  // namespace tessaly
