#include "transactions/sync_wait.h"
#include "transactions/transactions.h"

namespace tessaly {

// None of these reads a reply: the display acknowledges nothing in them, so a
// send counts once its commands went out whole and the line stayed up until they
// had time to reach the display (CSerialLink::Drain).

bool SelfTest(CSerialLink& link, EmulationMode mode) {
    return WriteCommand(link, mode == kEscPos ? CMD_SELF_TEST : CMD_SHOW_INFO) && link.Drain();
}

bool SendBasicSettings(CSerialLink& link, std::int32_t codeTableValue, std::int32_t intlSet) {
    return WriteCommand(link, SetIntlSet(static_cast<Byte>(intlSet & 0xFF))) &&
           WriteCommand(link, SetCodeTable(static_cast<Byte>(codeTableValue & 0xFF))) &&
           link.Drain();
}

bool ShowInformation(CSerialLink& link) {
    return WriteCommand(link, CMD_SHOW_INFO) && link.Drain();
}

}  // namespace tessaly
