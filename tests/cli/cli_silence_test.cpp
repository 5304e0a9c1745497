// A port that opens on a silent display: standard error says what can be seen
// of the cause, or what to try next.
#include <gtest/gtest.h>

#include <optional>

#include "tests/cli/cli_fixture.h"
#include "tests/support/silence_cases.h"

namespace tessaly::testing {
namespace {

class CliSilence : public CliTest, public ::testing::WithParamInterface<SilenceCase> {};

TEST_P(CliSilence, SaysWhyTheDisplayDidNotAnswer) {
    VirtualDisplay display;
    GetParam().arrange(display);
    std::optional<PortReader> reader;
    if (GetParam().reader) {
        reader.emplace(display.DevicePath());
    }
    const CliResult result = RunOn(display, {"check"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err,
              std::string(GetParam().sentence) + "\n" +
                  ExpectedDetail(GetParam(), display.DevicePath(), reader ? reader->Shown() : "") +
                  "\n");
}

INSTANTIATE_TEST_SUITE_P(Causes, CliSilence, ::testing::ValuesIn(kSilenceCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessaly::testing
