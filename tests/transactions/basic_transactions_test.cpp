#include <gtest/gtest.h>

#include "tests/transactions/recording_host.h"
#include "tools/virtual_display.h"
#include "transactions/transactions.h"

namespace tessaly {
namespace {

using namespace tessaly::testing;

class BasicTransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(link.Configure(SettingsFor(display.DevicePath())));
        ASSERT_TRUE(link.Open());
    }

    VirtualDisplay display;
    CSerialLink link;
};

struct BasicCase {
    const char* name;
    std::int32_t codeTableValue;
    std::int32_t intlSet;
    Bytes expected;
};

void PrintTo(const BasicCase& c, std::ostream* os) {
    *os << c.name;
}

class SendBasicSettingsTest : public BasicTransactionTest,
                              public ::testing::WithParamInterface<BasicCase> {};

TEST_P(SendBasicSettingsTest, SendsTheCharacterSetThenTheCodeTable) {
    SendBasicSettings(link, GetParam().codeTableValue, GetParam().intlSet);
    EXPECT_EQ(display.Received(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Examples, SendBasicSettingsTest,
    ::testing::Values(
        BasicCase{"Defaults", 0, 0, {0x02, 0x05, 0x53, 0x00, 0x03, 0x02, 0x05, 0x46, 0x00, 0x03}},
        BasicCase{
            "GreekJapan", 29, 8, {0x02, 0x05, 0x53, 0x08, 0x03, 0x02, 0x05, 0x46, 0x1D, 0x03}},
        BasicCase{
            "ArabicChina", 27, 15, {0x02, 0x05, 0x53, 0x0F, 0x03, 0x02, 0x05, 0x46, 0x1B, 0x03}},
        BasicCase{"Katakana", 1, 0, {0x02, 0x05, 0x53, 0x00, 0x03, 0x02, 0x05, 0x46, 0x01, 0x03}},
        BasicCase{
            "CentralEuropean", 14, 0, {0x02, 0x05, 0x53, 0x00, 0x03, 0x02, 0x05, 0x46, 0x0E, 0x03}},
        // Only the low eight bits of the character set index go on the line.
        BasicCase{"LowBitsOfTheSet",
                  0,
                  0x10F,
                  {0x02, 0x05, 0x53, 0x0F, 0x03, 0x02, 0x05, 0x46, 0x00, 0x03}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(BasicTransactionTest, TwoSendsRepeatTheSameOrder) {
    SendBasicSettings(link, 29, 8);
    SendBasicSettings(link, 29, 8);
    const Bytes once{0x02, 0x05, 0x53, 0x08, 0x03, 0x02, 0x05, 0x46, 0x1D, 0x03};
    EXPECT_EQ(display.Received(), Concat({once, once}));
}

TEST_F(BasicTransactionTest, ShowInformationSendsItsFiveBytesOnly) {
    ShowInformation(link);
    EXPECT_EQ(display.Received(), (Bytes{0x02, 0x05, 0x56, 0x05, 0x03}));
}

TEST_F(BasicTransactionTest, SelfTestFollowsTheEmulation) {
    SelfTest(link, kEscPos);
    EXPECT_EQ(display.Received(), (Bytes{0x1F, 0x40}));
    for (EmulationMode mode : {kQuelmar, kOthers}) {
        display.ClearReceived();
        SelfTest(link, mode);
        EXPECT_EQ(display.Received(), (Bytes{0x02, 0x05, 0x56, 0x05, 0x03})) << mode;
    }
}

TEST(BasicTransactionClosedLink, CompletesSilentlyWhenNothingIsAccepted) {
    CSerialLink link;
    SendBasicSettings(link, 0, 0);
    ShowInformation(link);
    SelfTest(link, kEscPos);
    EXPECT_FALSE(link.IsOpen());
}

}  // namespace
}  // namespace tessaly
