// Saving an operator's file under a name the operator chose: only a regular file or
// a new name is written, anything else is refused with nothing changed.
#pragma once

#include <span>
#include <string>

#include "files/write_result.h"

namespace tessaly {

// How a save reaches the disk, decided before anything is written.
struct SavePlan {
    enum class Way {
        Refused,  // `refusal` says why
        NewFile,  // a new name in a folder the user may write to
        Replace,  // a regular file replaced as a whole (ReplaceFileContents)
        InPlace,  // a regular file written where it stands (WriteInPlace)
    };
    Way way = Way::Refused;
    std::string target;  // the file itself: a symbolic link resolved
    WriteResult refusal;
};

// Refuses an empty name, a missing folder, a directory, a named pipe, a device, a
// socket, a symbolic link that leads nowhere and a file the user may not write to.
// A regular file is replaced when its folder is writable and it has one link;
// otherwise it is written in place.
SavePlan PlanSave(const std::string& path);

// The plan's refusal alone, for callers that check a name before they have the bytes.
WriteResult CheckSaveTarget(const std::string& path);

// Plans and writes. A file that cannot be replaced with its owner, permissions and
// attributes kept is written in place instead. A new file gets 0666 less the umask.
WriteResult SaveFile(const std::string& path, std::span<const unsigned char> bytes);

}  // namespace tessaly
