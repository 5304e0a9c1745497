// `apply` and `set` write only what the display lacks: what goes on the line, what
// a script reads back, and that a failed write is never taken for "unchanged".
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>
#include <string_view>

#include "switches/status_file.h"
#include "tests/cli/cli_fixture.h"

namespace tessaly::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Fault = VirtualDisplay::Fault;

// Every hex byte of a dry run's lines, in order.
Bytes HexBytes(const std::string& text) {
    Bytes bytes;
    std::istringstream in(text);
    unsigned byte = 0;
    while (in >> std::hex >> byte) {
        bytes.push_back(static_cast<std::uint8_t>(byte));
    }
    return bytes;
}

class CliApply : public CliTest {
protected:
    // A status file holding `values` for switches 10..14.
    std::string FileOf(const std::array<unsigned, 5>& values, const std::string& name) {
        SwitchGrid grid;
        for (int group = 0; group < 5; ++group) {
            for (int bit = 1; bit <= 8; ++bit) {
                grid.Set(group, bit, (values[group] >> (bit - 1)) & 1U);
            }
        }
        grid.Set(2, 0, 7);  // an element that no write carries
        const std::string file = File(name);
        EXPECT_TRUE(StatusFile::Save(file, grid).ok);
        return file;
    }
    // The preset with "60%" and bits 5 and 6 of switch 14 clear.
    std::string ChangedFile() { return FileOf({29, 8, 3, 3, 1}, "changed.sts"); }

    static void ExpectOnlyReadFrom(const VirtualDisplay& display) {
        EXPECT_EQ(display.Received().size(), kCheckBytes + kReadBytes)
            << "nothing may go out after the read";
    }
};

// Bit 8 of switch 10 is set on the display but never sent: it is no difference.
TEST_F(CliApply, NothingIsWrittenWhenTheDisplayHoldsEverySetting) {
    VirtualDisplay display;
    Preset(display);
    display.SetSwitchDigits(10, DigitsOf(29 | 0x80));
    const std::string file = FileOf(kPresetValues, "same.sts");
    const auto before = AllDigits(display);

    const CliResult applied = RunOn(display, {"apply", file});
    EXPECT_EQ(applied.status, 0) << applied.err;
    EXPECT_EQ(applied.out,
              "The display already holds the settings of \"" + file + "\". Nothing was written.\n");
    ExpectOnlyReadFrom(display);

    display.ClearReceived();
    const CliResult set = RunOn(display, {"set", "--brightness", "100%", "--intl-set", "Japan"});
    EXPECT_EQ(set.status, 0) << set.err;
    EXPECT_EQ(set.out, "The display already holds these settings. Nothing was written.\n");
    ExpectOnlyReadFrom(display);

    display.ClearReceived();
    const CliResult json = RunOn(display, {"apply", "--json", file});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto report = nlohmann::json::parse(json.out);
    EXPECT_EQ(report["changed"], false);
    EXPECT_EQ(report["written"], false);
    EXPECT_EQ(report["port"], display.DevicePath());
    EXPECT_EQ(report["after"], report["before"]);
    ExpectOnlyReadFrom(display);
    EXPECT_EQ(AllDigits(display), before);
}

// The dry run reads and sends nothing; the real run sends exactly the load's bytes
// after the read and says what changed; --force writes a display that holds them.
TEST_F(CliApply, ADifferingDisplayGetsExactlyTheLoadsBytes) {
    VirtualDisplay display;
    Preset(display);
    const std::string file = ChangedFile();
    const CliResult load = Run({"load", "--dry-run", file});
    ASSERT_EQ(load.status, 0) << load.err;

    const auto planned =
        nlohmann::json::parse(RunOn(display, {"apply", "--dry-run", "--json", file}).out);
    EXPECT_EQ(planned["changed"], true);
    EXPECT_EQ(planned["written"], false);
    EXPECT_EQ(planned["after"]["settings"]["brightness"]["text"], "60%");
    std::string commands;
    for (const auto& line : planned["commands"]) {
        commands += line.get<std::string>() + '\n';
    }
    EXPECT_EQ(commands, load.out);
    ExpectOnlyReadFrom(display);

    display.ClearReceived();
    const CliResult applied = RunOn(display, {"apply", file});
    ASSERT_EQ(applied.status, 0) << applied.err;
    EXPECT_EQ(applied.out,
              "Brightness: 100% -> 60%\n"
              "Switch 12: 00000100 -> 00000011\n"
              "Switch 14: 00110001 -> 00000001\n"
              "Success to set status of printer\n");
    const Bytes received = display.Received();
    EXPECT_EQ(Bytes(received.begin() + kCheckBytes + kReadBytes, received.end()),
              HexBytes(load.out));
    EXPECT_EQ(display.SwitchDigits(12), DigitsOf(3));
    EXPECT_EQ(display.SwitchDigits(14), DigitsOf(1));
    EXPECT_FALSE(display.InUserSettingMode());

    display.ClearReceived();
    const auto forced = nlohmann::json::parse(
        RunOn(display, {"set", "--force", "--json", "--brightness", "60%"}).out);
    EXPECT_EQ(forced["changed"], false);
    EXPECT_EQ(forced["written"], true);
    EXPECT_GT(display.Received().size(), kCheckBytes + kReadBytes);
}

constexpr const char* kWriteFailed =
    "Writing to the display failed. Its settings may be incomplete.\n";
constexpr const char* kNoAnswer =
    "The display did not answer. Check the cable and the line settings.\n";

// Failures keep the sentences and statuses of `load` and `set`, with or without
// --json, and print nothing a script could take for a result.
TEST_F(CliApply, FailuresKeepTheirSentencesAndPrintNoResult) {
    const std::string file = ChangedFile();
    struct Case {
        Fault fault;
        std::size_t afterBytes;
        std::vector<std::string> args;
        const char* err;
    };
    // Into the switch writes: the check, the read, entering user setting mode,
    // switch 10 and part of switch 11.
    constexpr std::size_t kIntoTheWrites = kEnteredBytes + 15 + 10;
    const std::vector<Case> cases{
        {Fault::HangUp, kIntoTheWrites, {"apply", file}, kWriteFailed},
        {Fault::HangUp, kIntoTheWrites, {"apply", "--json", file}, kWriteFailed},
        {Fault::HangUp, kIntoTheWrites, {"set", "--json", "--brightness", "60%"}, kWriteFailed},
        {Fault::Silent, 0, {"apply", "--json", file}, kNoAnswer},
    };
    for (const Case& c : cases) {
        VirtualDisplay display;
        Preset(display);
        display.SetFault(c.fault);
        display.SetHangUpAfterBytes(c.afterBytes);
        const CliResult result = RunOn(display, c.args);
        EXPECT_EQ(result.status, 1) << c.args[1];
        // The sentence leads; a silent display's diagnosis may follow it.
        EXPECT_EQ(result.err.substr(0, std::string_view(c.err).size()), c.err) << c.args[1];
        EXPECT_EQ(result.out, "") << c.args[1];
    }
}

}  // namespace
}  // namespace tessaly::testing
