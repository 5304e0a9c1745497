#include "switches/status_file.h"

#include <algorithm>
#include <cstdint>

#include "files/file_save.h"
#include "files/file_start.h"
#include "files/path_parts.h"
#include "files/shown_name.h"

namespace tessaly {

namespace {

// Byte order is fixed by the file, not by the host: written out byte by byte.
void PutLittleEndian(std::int32_t value, Byte* out) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out[i] = static_cast<Byte>(bits >> (8 * i));
    }
}

std::int32_t GetLittleEndian(const Byte* in) {
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i) {
        bits |= static_cast<std::uint32_t>(in[i]) << (8 * i);
    }
    return static_cast<std::int32_t>(bits);
}

std::string Failure(const char* verb, const std::string& path, const std::string& reason) {
    return std::string("Could not ") + verb + " \"" + ShownName(path) + "\": " + reason;
}

FileResult SaveResult(const std::string& path, const WriteResult& written) {
    if (!written.ok()) {
        return {false, Failure("save", path, written.reason)};
    }
    return {true, {}};
}

}  // namespace

StatusFile::Bytes StatusFile::Encode(const SwitchGrid& grid) {
    Bytes bytes{};
    Byte* out = bytes.data();
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        for (int element = 0; element < SwitchGrid::kElements; ++element) {
            PutLittleEndian(grid.At(group, element), out);
            out += 4;
        }
    }
    return bytes;
}

SwitchGrid StatusFile::Decode(std::span<const Byte> bytes) {
    Bytes padded{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), padded.size()), padded.begin());
    SwitchGrid grid;
    const Byte* in = padded.data();
    for (int group = 0; group < SwitchGrid::kGroups; ++group) {
        for (int element = 0; element < SwitchGrid::kElements; ++element) {
            grid.Set(group, element, GetLittleEndian(in));
            in += 4;
        }
    }
    return grid;
}

bool StatusFile::HasStatusFileName(const std::string& path) {
    const std::string base = BaseOf(path);
    return base.size() >= 3 && base.compare(base.size() - 3, 3, "sts") == 0;
}

FileResult StatusFile::Save(const std::string& path, const SwitchGrid& grid) {
    return SaveResult(path, SaveFile(path, Encode(grid)));
}

FileResult StatusFile::CheckSaveTarget(const std::string& path) {
    return SaveResult(path, tessaly::CheckSaveTarget(path));
}

LoadedStatus StatusFile::Load(const std::string& path) {
    Bytes bytes{};
    std::size_t got = 0;
    std::uintmax_t fileSize = 0;
    if (std::string reason = ReadFileStart(path, bytes, got, fileSize); !reason.empty()) {
        return {{false, Failure("load", path, reason)}, {}, 0};
    }
    return {{true, {}}, Decode(std::span<const Byte>(bytes.data(), got)), fileSize};
}

}  // namespace tessaly
