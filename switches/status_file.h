// Status files keep a SwitchGrid on disk: its 45 elements as 32-bit signed
// little-endian integers, group by group, element 0 first; 180 bytes, no header.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "protocol/commands.h"
#include "switches/switch_grid.h"

namespace tessaly {

// Outcome of a file operation. error is one line for a message box that names the
// file, control characters escaped, and the reason, e.g.
// Could not save "/x/y.sts": Permission denied.
struct FileResult {
    bool ok = false;
    std::string error;
};

struct LoadedStatus {
    FileResult result;
    SwitchGrid grid;
    std::uintmax_t fileSize = 0;  // the whole file's, which may differ from 180
};

class StatusFile {
public:
    static constexpr std::size_t kSize = 4 * SwitchGrid::kGroups * SwitchGrid::kElements;
    using Bytes = std::array<Byte, kSize>;

    static Bytes Encode(const SwitchGrid& grid);
    // Any bytes are a status file: missing bytes count as 0 (a cut integer keeps
    // the bytes it has as its low bytes) and bytes past the 180th are ignored.
    static SwitchGrid Decode(std::span<const Byte> bytes);

    // The loader takes only names whose last three characters are "sts" (case
    // matters, no dot needed); a name shorter than three characters never matches.
    static bool HasStatusFileName(const std::string& path);

    // Writes only a regular file or a new name, and leaves the old file as it was on
    // any failure (see SaveFile).
    static FileResult Save(const std::string& path, const SwitchGrid& grid);
    // Whether Save would refuse the name, before there is anything to save.
    static FileResult CheckSaveTarget(const std::string& path);
    // Reads the first 180 bytes; does not look at the name.
    static LoadedStatus Load(const std::string& path);
};

}  // namespace tessaly
