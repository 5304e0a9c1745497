// Writing over an existing file where it stands, for files that must keep their
// inode: other hard links to them, or a folder the user may not write to.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "files/write_result.h"

namespace tessaly {

// Writes the bytes from the start of the regular file at `path` (the file itself,
// not a symbolic link to it), cuts it to their length and flushes it. The old
// contents are read first; when a step fails they are written back and the reason
// says whether that worked. A file that cannot be read (so not put back) or is
// larger than kMaxKeptBytes is refused and left as it was.
WriteResult WriteInPlace(const std::string& path, std::span<const unsigned char> bytes);

inline constexpr std::size_t kMaxKeptBytes = 64u << 20;

}  // namespace tessaly
