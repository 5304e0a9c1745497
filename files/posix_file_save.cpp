#include "files/file_save.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

#include "files/file_replacement.h"
#include "files/in_place_write.h"
#include "files/path_parts.h"

namespace tessaly {

namespace {

// How a save reaches the disk, decided before anything is written.
struct SavePlan {
    enum class Way {
        Refused,  // `refusal` says why
        NewFile,  // a new name in a folder the user may write to
        Replace,  // a regular file replaced as a whole (ReplaceKeepingMetadata)
        InPlace,  // a regular file written where it stands (WriteInPlace)
    };
    Way way = Way::Refused;
    std::string target;  // the file itself: a symbolic link resolved
    WriteResult refusal;
};

SavePlan Refuse(WriteResult why) {
    return {SavePlan::Way::Refused, {}, std::move(why)};
}

SavePlan RefuseErrno(int error) {
    return Refuse(WriteResult::FromErrno(error));
}

// What stands at the name, in words, when it is nothing a save may write over.
const char* NotAFile(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "It is a named pipe, not a file";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "It is a device, not a file";
    }
    if (S_ISSOCK(mode)) {
        return "It is a socket, not a file";
    }
    return "It is not a regular file";
}

bool FolderWritable(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

SavePlan PlanNewName(const std::string& path) {
    const std::string folder = FolderOf(path);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        return RefuseErrno(errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        return RefuseErrno(ENOTDIR);
    }
    if (!FolderWritable(folder)) {
        return RefuseErrno(errno);
    }
    return {SavePlan::Way::NewFile, path, {}};
}

// The file a link leads to, so that the link itself stays as it is.
bool Resolve(const std::string& path, std::string& target) {
    std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                         &std::free);
    if (!resolved) {
        return false;
    }
    target = resolved.get();
    return true;
}

SavePlan PlanSave(const std::string& path) {
    if (path.empty()) {
        return Refuse(WriteResult::Refused(ENOENT, "The file name is empty"));
    }
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) {
        return errno == ENOENT ? PlanNewName(path) : RefuseErrno(errno);
    }
    struct stat st = entry;
    std::string target = path;
    if (S_ISLNK(entry.st_mode)) {
        if (::stat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                return Refuse(WriteResult::Refused(
                    ENOENT, "It is a symbolic link to a file that does not exist"));
            }
            return RefuseErrno(errno);
        }
        // Only a regular file is looked up further: /dev/stdout on a pipe, for one,
        // leads to a name that exists nowhere.
        if (S_ISREG(st.st_mode) && !Resolve(path, target)) {
            return RefuseErrno(errno);
        }
    }
    if (S_ISDIR(st.st_mode)) {
        return RefuseErrno(EISDIR);
    }
    if (!S_ISREG(st.st_mode)) {
        return Refuse(WriteResult::Refused(EINVAL, NotAFile(st.st_mode)));
    }
    // As the system would answer an open for writing: a read-only file is refused
    // (except to root, whom the system lets write it too).
    if (::access(target.c_str(), W_OK) != 0) {
        return RefuseErrno(errno);
    }
    const bool keepInode = st.st_nlink > 1 || !FolderWritable(FolderOf(target));
    return {keepInode ? SavePlan::Way::InPlace : SavePlan::Way::Replace, target, {}};
}

}  // namespace

WriteResult CheckSaveTarget(const std::string& path) {
    return PlanSave(path).refusal;
}

WriteResult SaveFile(const std::string& path, std::span<const unsigned char> bytes) {
    const SavePlan plan = PlanSave(path);
    switch (plan.way) {
        case SavePlan::Way::Refused:
            return plan.refusal;
        case SavePlan::Way::InPlace:
            return WriteInPlace(plan.target, bytes);
        case SavePlan::Way::NewFile:
        case SavePlan::Way::Replace:
            break;
    }
    ReplaceOutcome replaced = ReplaceKeepingMetadata(plan.target, bytes, 0666);
    if (replaced.metadataNotKept) {
        return WriteInPlace(plan.target, bytes);
    }
    return replaced.result;
}

}  // namespace tessaly
