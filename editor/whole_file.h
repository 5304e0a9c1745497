// Whole-file reads and replacements on POSIX descriptors. A failure comes back as
// the system's reason in words (empty on success); callers add the file's name.
#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "protocol/commands.h"

namespace tessaly {

// Writes the bytes to a new file beside the target, flushes it to disk and renames
// it over the target, so that a failure at any step leaves the old file as it was.
// A symbolic link is followed, so the file it points at is replaced and the link
// stays; an existing file keeps its permission bits, a new one gets the umask's.
std::string ReplaceFile(const std::string& path, std::span<const Byte> bytes);

// Reads from the start of a regular file until the buffer is full or the file
// ends; `got` is the number of bytes read.
std::string ReadFileStart(const std::string& path, std::span<Byte> buffer, std::size_t& got);

}  // namespace tessaly
