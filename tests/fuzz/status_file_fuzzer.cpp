// Status files come from anywhere: the decoder must take any bytes, keep every
// one of the first 180, and the grid it yields must survive the editor's lists.
// The same bytes, read as a file name, go through the loader's name rule.
#include "switches/setting_mapping.h"
#include "switches/status_file.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using namespace tessaly;

// The adapter: the decoder as the loader calls it.
SwitchGrid DecodeStatusFile(const std::uint8_t* data, std::size_t size) {
    return StatusFile::Decode(std::span<const Byte>(data, size));
}

bool NameRule(const std::string& name) {
    return StatusFile::HasStatusFileName(name);
}

void ApplyIndices(SwitchGrid& grid, const SettingIndices& indices) {
    ApplyCodeTable(grid, indices.codeTable);
    ApplyIntlSet(grid, indices.intlSet);
    ApplyBrightness(grid, indices.brightness);
    ApplyPeripheral(grid, indices.peripheral);
    ApplyCursorMode(grid, indices.cursorMode);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SwitchGrid grid = DecodeStatusFile(data, size);

    // Saving what was loaded gives back the file's first 180 bytes, missing ones as 0.
    const StatusFile::Bytes saved = StatusFile::Encode(grid);
    for (std::size_t i = 0; i < saved.size(); ++i) {
        FUZZ_CHECK(saved[i] == (i < size ? data[i] : 0));
    }

    // Choosing again what the lists show changes nothing the display would be sent,
    // except a code table value that no item has: that one shows, and is sent as,
    // the first table.
    const SettingIndices shown = DeriveIndices(grid);
    SwitchGrid again = grid;
    ApplyIndices(again, shown);
    FUZZ_CHECK(DeriveIndices(again) == shown);
    const bool knownTable = CodeTableValue(shown.codeTable) == grid.FieldValue(0, 6);
    for (int group = knownTable ? 0 : 1; group < SwitchGrid::kGroups; ++group) {
        FUZZ_CHECK(again.CarriedBits(group) == grid.CarriedBits(group));
    }

    const std::string name = fuzz::Text(data, size);
    const std::size_t slash = name.find_last_of('/');
    const std::string base = slash == std::string::npos ? name : name.substr(slash + 1);
    const bool expected = base.size() >= 3 && base.substr(base.size() - 3) == "sts";
    FUZZ_CHECK(NameRule(name) == expected);
    return 0;
}
