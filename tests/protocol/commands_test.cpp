#include "protocol/commands.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace tessaly {
namespace {

using Bytes = std::vector<Byte>;

Bytes BytesOf(const CommandRow& row) {
    return Bytes(row.view().begin(), row.view().end());
}

struct RowCase {
    std::string name;
    CommandRow row;
    Bytes expected;
};

// Keeps the listed test names short: the row's own bytes say nothing to a reader.
void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.name;
}

class CommandRowTest : public testing::TestWithParam<RowCase> {};

TEST_P(CommandRowTest, SendsExactlyTheListedBytes) {
    EXPECT_EQ(BytesOf(GetParam().row), GetParam().expected);
}

SwitchBits Bits(std::initializer_list<int> setBits) {
    SwitchBits bits{};
    for (int bit : setBits) {
        bits[bit - 1] = 1;
    }
    return bits;
}

INSTANTIATE_TEST_SUITE_P(
    FixedAndBuiltRows, CommandRowTest,
    testing::Values(
        RowCase{"Initialize", CMD_INITIALIZE, {0x1B, 0x40}},
        RowCase{"SelectDisplay", CMD_SELECT_DISPLAY, {0x1B, 0x3D, 0x02}},
        RowCase{"SelfTest", CMD_SELF_TEST, {0x1F, 0x40}},
        RowCase{"EnterUserSetting",
                CMD_ENTER_USER_SETTING,
                {0x1F, 0x28, 0x45, 0x03, 0x00, 0x01, 0x49, 0x4E}},
        RowCase{"ExitUserSetting",
                CMD_EXIT_USER_SETTING,
                {0x1F, 0x28, 0x45, 0x04, 0x00, 0x02, 0x4F, 0x55, 0x54}},
        RowCase{"ShowInfo", CMD_SHOW_INFO, {0x02, 0x05, 0x56, 0x05, 0x03}},
        RowCase{"QuerySwitch10", QuerySwitch(0x0A), {0x1F, 0x28, 0x45, 0x02, 0x00, 0x04, 0x0A}},
        RowCase{"QuerySwitch14", QuerySwitch(0x0E), {0x1F, 0x28, 0x45, 0x02, 0x00, 0x04, 0x0E}},
        RowCase{"WriteSwitch10Bit1",
                WriteSwitch(0x0A, Bits({1})),
                {0x1F, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x0A, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30,
                 0x31}},
        RowCase{"WriteSwitch14Bits1And5And6",
                WriteSwitch(0x0E, Bits({1, 5, 6})),
                {0x1F, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x0E, 0x30, 0x30, 0x31, 0x31, 0x30, 0x30, 0x30,
                 0x31}},
        RowCase{"WriteSwitch12Bit8",
                WriteSwitch(0x0C, Bits({8})),
                {0x1F, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x0C, 0x31, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30,
                 0x30}},
        // Any nonzero value is a set bit, including what a missing digit parses to.
        RowCase{"WriteSwitchNonzeroValuesAreSet",
                WriteSwitch(0x0B, SwitchBits{-48, 0, 2, 0, 0, 0, 0, -49}),
                {0x1F, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x0B, 0x31, 0x30, 0x30, 0x30, 0x30, 0x31, 0x30,
                 0x31}},
        RowCase{"SetCodeTable29", SetCodeTable(29), {0x02, 0x05, 0x46, 0x1D, 0x03}},
        RowCase{"SetCodeTable0", SetCodeTable(0), {0x02, 0x05, 0x46, 0x00, 0x03}},
        RowCase{"SetCodeTable27", SetCodeTable(0x1B), {0x02, 0x05, 0x46, 0x1B, 0x03}},
        RowCase{"SetIntlSet0", SetIntlSet(0), {0x02, 0x05, 0x53, 0x00, 0x03}},
        RowCase{"SetIntlSet8", SetIntlSet(8), {0x02, 0x05, 0x53, 0x08, 0x03}},
        RowCase{"SetIntlSet15", SetIntlSet(15), {0x02, 0x05, 0x53, 0x0F, 0x03}}),
    [](const testing::TestParamInfo<RowCase>& info) { return info.param.name; });

struct ReplyCase {
    std::string name;
    std::array<Byte, kQueryReplyLength> reply;
    SwitchBits expected;
};

void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

class QueryReplyTest : public testing::TestWithParam<ReplyCase> {};

TEST_P(QueryReplyTest, YieldsBitOneFirst) {
    EXPECT_EQ(ParseQueryReply(GetParam().reply), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, QueryReplyTest,
    testing::Values(ReplyCase{"Bits1And3",
                              {0x00, 0x00, '0', '0', '0', '0', '0', '1', '0', '1', 0x00},
                              {1, 0, 1, 0, 0, 0, 0, 0}},
                    ReplyCase{"Bit8IsFirstDigit",
                              {0x00, 0x00, '1', '0', '0', '0', '0', '0', '0', '0', 0x00},
                              {0, 0, 0, 0, 0, 0, 0, 1}},
                    ReplyCase{"FramingBytesAreNotDigits",
                              {'1', '1', '0', '0', '0', '0', '0', '0', '0', '0', '1'},
                              {0, 0, 0, 0, 0, 0, 0, 0}},
                    // Only "W" arrived: every digit stays 0x00 and reads as -48, a set bit.
                    ReplyCase{
                        "MissingDigitsReadAsMinus48", {}, {-48, -48, -48, -48, -48, -48, -48, -48}},
                    ReplyCase{"HighBytesAreSigned",
                              {0x00, 0x00, 0xFF, 0x80, '2', '0', '0', '0', '0', '0', 0x00},
                              {0, 0, 0, 0, 0, 2, -128 - 0x30, -1 - 0x30}}),
    [](const testing::TestParamInfo<ReplyCase>& info) { return info.param.name; });

}  // namespace
}  // namespace tessaly
