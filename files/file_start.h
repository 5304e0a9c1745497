// Reading the start of a file on a POSIX descriptor. A failure comes back as the
// system's reason in words (empty on success); callers add the file's name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace tessaly {

// Reads from the start of a regular file until the buffer is full or the file
// ends; `got` is the number of bytes read and `fileSize` the file's whole length.
std::string ReadFileStart(const std::string& path, std::span<unsigned char> buffer,
                          std::size_t& got, std::uintmax_t& fileSize);

}  // namespace tessaly
