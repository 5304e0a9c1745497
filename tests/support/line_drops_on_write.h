#pragma once

#include "link/serial_link.h"

namespace tessaly::testing {

// A line that drops on one write (counted from 1) and is back for the next, so
// that one command fails to go out while the ones after it still reach the display.
class LineDropsOnWrite final : public ModemLines {
public:
    explicit LineDropsOnWrite(int failingWrite) : m_failingWrite(failingWrite) {}
    State ClearToSend(int) override {
        return ++m_writes == m_failingWrite ? State::Failed : State::Unsupported;
    }

private:
    int m_failingWrite;
    int m_writes = 0;
};

}  // namespace tessaly::testing
