// A port that opens on a silent display: the message keeps its sentence, or says
// the port is gone, and its second text gives the cause or what to try next.
#include <gtest/gtest.h>

#include <optional>

#include "tests/app/main_window_fixture.h"
#include "tests/support/silence_cases.h"

namespace tessaly::testing {
namespace {

class MainWindowSilence : public MainWindowTest,
                          public ::testing::WithParamInterface<SilenceCase> {};

TEST_P(MainWindowSilence, SaysWhyTheDisplayDidNotAnswer) {
    GetParam().arrange(display);
    std::optional<PortReader> reader;
    if (GetParam().reader) {
        reader.emplace(display.DevicePath());
    }
    bool portHeldWhileShown = false;
    services.onMessage = [&](const RecordedMessage&) {
        portHeldWhileShown = window->Link().IsOpen();
    };
    EXPECT_EQ(Check(), (RecordedMessage{GetParam().sentence, MessageIcon::Exclamation}));
    ASSERT_EQ(services.details.size(), 1u);
    EXPECT_EQ(services.details.back(),
              ExpectedDetail(GetParam(), display.DevicePath(), reader ? reader->Shown() : ""));
    EXPECT_TRUE(portHeldWhileShown) << "the port is closed only once the message is read";
    EXPECT_TRUE(ShowsNotConnected());
}

INSTANTIATE_TEST_SUITE_P(Causes, MainWindowSilence, ::testing::ValuesIn(kSilenceCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessaly::testing
