#include "transactions/sync_wait.h"
#include "transactions/transactions.h"

namespace tessaly {

// None of these reads a reply: the display acknowledges nothing in them, so a
// command that went out whole is all there is to know.

bool SelfTest(CSerialLink& link, EmulationMode mode) {
    return WriteCommand(link, mode == kEscPos ? CMD_SELF_TEST : CMD_SHOW_INFO);
}

bool SendBasicSettings(CSerialLink& link, std::int32_t codeTableValue, std::int32_t intlSet) {
    return WriteCommand(link, SetIntlSet(static_cast<Byte>(intlSet & 0xFF))) &&
           WriteCommand(link, SetCodeTable(static_cast<Byte>(codeTableValue & 0xFF)));
}

bool ShowInformation(CSerialLink& link) {
    return WriteCommand(link, CMD_SHOW_INFO);
}

}  // namespace tessaly
