// The driver's actions that are the same on every toolkit.
#include "tests/support/window_driver.h"

namespace tessaly::testing {

bool FinishTransaction(CTemplateDialog& window, int boundMs) {
    return RunWindowThreadUntil([&] { return !window.TransactionRunning(); }, boundMs);
}

::testing::AssertionResult Click(CTemplateDialog& window, int buttonId) {
    auto clicked = StartClick(window, buttonId);
    if (clicked && !FinishTransaction(window)) {
        return ::testing::AssertionFailure() << "the transaction of " << buttonId << " never ended";
    }
    return clicked;
}

}  // namespace tessaly::testing
