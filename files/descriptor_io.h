// Whole reads and writes on a descriptor, each one retried until it is done; the
// result is 0 or the errno of the call that failed.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <span>
#include <vector>

namespace tessaly {

// Writes at `offset` whatever the descriptor's own position is.
int WriteAllAt(int fd, std::span<const unsigned char> bytes, off_t offset);
// Reads at `offset` until `buffer` is full or the file ends; `got` is how much came.
int ReadAllAt(int fd, std::span<unsigned char> buffer, off_t offset, std::size_t& got);
// Everything from the start of the file to its end.
int ReadAllFromStart(int fd, std::vector<unsigned char>& bytes);

}  // namespace tessaly
