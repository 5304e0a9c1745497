// Saving an operator's file under a name the operator chose: only a regular file or
// a new name is written, anything else is refused with nothing changed.
#pragma once

#include <span>
#include <string>

#include "files/write_result.h"

namespace tessaly {

// Refuses an empty name, a missing folder, a directory, a named pipe, a device, a
// socket, a symbolic link that leads nowhere and a file the user may not write to;
// for callers that check a name before they have the bytes. Success when SaveFile
// would go ahead.
WriteResult CheckSaveTarget(const std::string& path);

// Refuses what CheckSaveTarget refuses. A regular file is replaced as a whole when
// its folder is writable and it has one link, and written in place otherwise; one
// that cannot be replaced with its owner, permissions and attributes kept is
// written in place instead. A new file gets 0666 less the umask.
WriteResult SaveFile(const std::string& path, std::span<const unsigned char> bytes);

}  // namespace tessaly
