// The display's answer to a switch query is outside input: any eleven bytes
// must parse, each digit into its own bit, and a reply of plain digits must come
// back unchanged when the bits are written to the switch again.
#include <algorithm>
#include <array>

#include "protocol/commands.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace tessaly;
using Reply = std::array<Byte, kQueryReplyLength>;

// The adapter: the parser as the switch read calls it, on the bytes after "W".
SwitchBits ParseReply(const Reply& reply) {
    return ParseQueryReply(std::span<const Byte, kQueryReplyLength>(reply));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Bytes that never arrived read as 0x00, as in the transaction's zeroed buffer.
    Reply reply{};
    std::copy_n(data, std::min(size, reply.size()), reply.begin());
    const Byte switchNumber = size > reply.size() ? data[reply.size()] : Byte{10};

    const SwitchBits bits = ParseReply(reply);
    bool plainDigits = true;
    for (int k = 1; k <= 8; ++k) {
        const Byte digit = reply[static_cast<std::size_t>(10 - k)];
        FUZZ_CHECK(bits[static_cast<std::size_t>(k - 1)] ==
                   static_cast<std::int32_t>(static_cast<std::int8_t>(digit)) - 0x30);
        plainDigits = plainDigits && (digit == '0' || digit == '1');
    }

    const CommandRow write = WriteSwitch(switchNumber, bits);
    FUZZ_CHECK(write.length == CMD_WRITE_SWITCH.length);
    FUZZ_CHECK(
        std::equal(write.bytes.begin(), write.bytes.begin() + 6, CMD_WRITE_SWITCH.bytes.begin()));
    FUZZ_CHECK(write.bytes[6] == switchNumber);
    for (std::size_t j = 0; j < 8; ++j) {
        const Byte sent = write.bytes[7 + j];
        FUZZ_CHECK(sent == (bits[7 - j] != 0 ? '1' : '0'));
        if (plainDigits) {
            FUZZ_CHECK(sent == reply[2 + j]);
        }
    }
    return 0;
}
