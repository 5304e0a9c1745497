// Replacing a small file as a whole: the name shows either the old contents or the
// new ones, never a mix, whatever fails or whenever the program is killed.
#pragma once

#include <sys/types.h>

#include <span>
#include <string>
#include <string_view>

#include "files/write_result.h"

namespace tessaly {

// Writes the bytes to an unnamed file in the target's folder, flushes it to disk,
// gives it a short hidden name and renames that over `path`, then flushes the
// folder. An existing file's owner, group, mode, ACL and extended attributes carry
// over; when they cannot, nothing is changed and the result says EPERM. A new file
// gets `newFileMode` less the umask. The name at `path` is what gets replaced: a
// symbolic link there is replaced, not followed.
WriteResult ReplaceFileContents(const std::string& path, std::span<const unsigned char> bytes,
                                mode_t newFileMode = 0600);
WriteResult ReplaceFileContents(const std::string& path, std::string_view text,
                                mode_t newFileMode = 0600);

// As ReplaceFileContents, but tells apart the one case where the caller may still
// write the file another way: the old file's metadata could not be carried over.
struct ReplaceOutcome {
    WriteResult result;
    bool metadataNotKept = false;  // then nothing was changed
};
ReplaceOutcome ReplaceKeepingMetadata(const std::string& path, std::span<const unsigned char> bytes,
                                      mode_t newFileMode);

}  // namespace tessaly
