// tessaly-cli against a virtual display: what reaches the display and what the
// script reads back.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>

#include "switches/setting_mapping.h"
#include "switches/status_file.h"
#include "tests/cli/cli_fixture.h"

namespace tessaly::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

// "1B 40\n1B 3D 02\n" -> the bytes of each line.
std::vector<Bytes> HexLines(const std::string& text) {
    std::vector<Bytes> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        Bytes bytes;
        std::istringstream hex(line);
        unsigned byte = 0;
        while (hex >> std::hex >> byte) {
            bytes.push_back(static_cast<std::uint8_t>(byte));
        }
        lines.push_back(bytes);
    }
    return lines;
}

Bytes Joined(const std::vector<Bytes>& commands) {
    Bytes all;
    for (const Bytes& command : commands) {
        all.insert(all.end(), command.begin(), command.end());
    }
    return all;
}

bool EndsWith(const Bytes& all, const Bytes& tail) {
    return all.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(), all.end() - tail.size());
}

using CliAgainstDisplay = CliTest;

TEST_F(CliAgainstDisplay, GetPrintsTheSettingsAsTheEditorShowsThem) {
    VirtualDisplay display;
    Preset(display);
    display.SetSwitchDigits(12, DigitsOf(5));  // a brightness value no item has
    const CliResult check = RunOn(display, {"check"});
    EXPECT_EQ(check.out, "Printer is connected.\n");
    EXPECT_FALSE(display.InUserSettingMode()) << "closing the port must not lose the exit";

    const CliResult text = RunOn(display, {"get"});
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out,
              "Character code table: PC737 (Greek)\n"
              "International character set: Japan\n"
              "Brightness: no selection (field value 5)\n"
              "Peripheral device: Both Printer and Customer Display\n"
              "Cursor display mode: Cursor is displayed\n"
              "Switch 10: 00011101\n"
              "Switch 11: 00001000\n"
              "Switch 12: 00000101\n"
              "Switch 13: 00000011\n"
              "Switch 14: 00110001\n");

    const CliResult json = RunOn(display, {"get", "--json"});
    ASSERT_EQ(json.status, 0) << json.err;
    const auto report = nlohmann::json::parse(json.out);
    EXPECT_EQ(report["settings"]["intl-set"]["text"], "Japan");
    EXPECT_EQ(report["settings"]["code-table"]["index"], 6);
    EXPECT_TRUE(report["settings"]["brightness"]["index"].is_null());
    EXPECT_EQ(report["settings"]["brightness"]["field"], 5);
    EXPECT_EQ(report["switches"][4]["switch"], 14);
    EXPECT_EQ(report["switches"][4]["digits"], "00110001");
}

TEST_F(CliAgainstDisplay, SetBrightnessChangesOnlyBitsOneToThreeOfSwitchTwelve) {
    VirtualDisplay display;
    Preset(display);
    auto expected = AllDigits(display);
    expected[2] = DigitsOf(0b010);  // "40%"

    const CliResult result = RunOn(display, {"set", "--brightness", "40%"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Success to set status of printer\n");
    EXPECT_EQ(AllDigits(display), expected);
    EXPECT_FALSE(display.InUserSettingMode());
}

TEST_F(CliAgainstDisplay, SettingsByTextAndIndexSurviveSaveAndLoadToAnotherDisplay) {
    VirtualDisplay first;
    VirtualDisplay second;
    ASSERT_EQ(RunOn(first, {"set", "--code-table", "PC864(Arabic)", "--intl-set", "15",
                            "--peripheral", "0", "--cursor", "Cursor is not displayed"})
                  .status,
              0);
    const std::string file = File("till.sts");
    ASSERT_EQ(RunOn(first, {"save", file}).status, 0);

    const CliResult shown = Run({"show", file});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("Character code table: PC864(Arabic)\n"), std::string::npos);
    EXPECT_NE(shown.out.find("International character set: China\n"), std::string::npos);
    EXPECT_NE(shown.out.find("Peripheral device: Printer\n"), std::string::npos);
    EXPECT_NE(shown.out.find("Cursor display mode: Cursor is not displayed\n"), std::string::npos);

    const CliResult loaded = RunOn(second, {"load", file});
    ASSERT_EQ(loaded.status, 0) << loaded.err;
    EXPECT_EQ(AllDigits(second), AllDigits(first));
    EXPECT_EQ(RunOn(second, {"get"}).out, RunOn(first, {"get"}).out);
}

TEST_F(CliAgainstDisplay, LoadThenGetReproducesTheFilesSettings) {
    SwitchGrid grid;
    ApplyCodeTable(grid, 7);
    ApplyIntlSet(grid, 4);
    ApplyBrightness(grid, 3);
    ApplyPeripheral(grid, 1);
    ApplyCursorMode(grid, 0);
    grid.Set(4, 5, 1);  // bit 5 of switch 14 belongs to no list but is sent
    const std::string file = File("composed.sts");
    ASSERT_TRUE(StatusFile::Save(file, grid).ok);

    VirtualDisplay display;
    ASSERT_EQ(RunOn(display, {"load", file}).status, 0);
    const CliResult got = RunOn(display, {"get"});
    ASSERT_EQ(got.status, 0) << got.err;
    EXPECT_EQ(got.out, Run({"show", file}).out);
}

// The dry run must print exactly what "Set Status" puts on the line for the grid.
TEST_F(CliAgainstDisplay, LoadDryRunPrintsTheBytesARealLoadSends) {
    SwitchGrid grid;
    ApplyCodeTable(grid, 16);
    ApplyBrightness(grid, 2);
    grid.Set(0, 8, -48);  // never sent: bit 8 of switch 10 goes out as "0"
    const std::string file = File("dry.sts");
    ASSERT_TRUE(StatusFile::Save(file, grid).ok);

    VirtualDisplay display;
    const CliResult dry = RunOn(display, {"load", "--dry-run", file});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_TRUE(display.Received().empty());
    const std::vector<Bytes> commands = HexLines(dry.out);
    ASSERT_EQ(commands.size(), 9U);
    EXPECT_EQ(commands[3], (Bytes{0x1F, 0x28, 0x45, 0x0A, 0x00, 0x03, 0x0A, '0', '0', '0', '1', '1',
                                  '0', '1', '1'}));

    ASSERT_EQ(RunOn(display, {"load", file}).status, 0);
    // The real run greets the display first; everything after that is the dry run's.
    EXPECT_TRUE(EndsWith(display.Received(), Joined(commands)));
}

TEST_F(CliAgainstDisplay, FramedSetSendsCharacterSetThenCodeTable) {
    VirtualDisplay display;
    const CliResult result = RunOn(display, {"--emulation", "quelmar", "set", "--code-table",
                                             "PC737 (Greek)", "--intl-set", "Japan"});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(display.Received(),
              (Bytes{0x1B, 0x40, 0x02, 0x05, 0x53, 0x08, 0x03, 0x02, 0x05, 0x46, 0x1D, 0x03}));

    const CliResult dry = Run(
        {"--emulation", "others", "set", "--dry-run", "--code-table", "16", "--intl-set", "15"});
    EXPECT_EQ(dry.out, "02 05 53 0F 03\n02 05 46 1B 03\n");
}

}  // namespace
}  // namespace tessaly::testing
