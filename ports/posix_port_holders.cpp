#include "ports/port_holders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <memory>

namespace tessaly {

namespace {

using DirHandle = std::unique_ptr<DIR, int (*)(DIR*)>;

DirHandle OpenDir(const std::string& path) {
    return DirHandle(opendir(path.c_str()), &closedir);
}

bool IsNumber(const char* name) {
    if (*name == '\0') {
        return false;
    }
    for (; *name != '\0'; ++name) {
        if (!std::isdigit(static_cast<unsigned char>(*name))) {
            return false;
        }
    }
    return true;
}

std::string LastPart(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The kernel cuts "comm" at 15 characters ("tessaly-vdispla"). The name the
// program was started by, or its executable's, is whole; either is taken only when
// it begins with "comm", since a program may rewrite its arguments into anything.
std::string ProgramName(const std::string& procDir) {
    std::string comm;
    std::getline(std::ifstream(procDir + "/comm"), comm);
    std::string argv0;
    std::getline(std::ifstream(procDir + "/cmdline"), argv0, '\0');
    std::error_code error;
    const std::string exe = std::filesystem::read_symlink(procDir + "/exe", error);
    for (const std::string& whole : {LastPart(argv0), LastPart(exe)}) {
        if (!comm.empty() && whole.size() > comm.size() && whole.rfind(comm, 0) == 0) {
            return whole;
        }
    }
    return comm;
}

// Whether descriptor `fd` of the process was opened for reading, from its "flags".
bool OpenedForReading(const std::string& procDir, const char* fd) {
    std::ifstream info(procDir + "/fdinfo/" + fd);
    std::string key;
    std::string value;
    while (info >> key >> value) {
        if (key == "flags:") {
            return (std::stoul(value, nullptr, 8) & O_ACCMODE) != O_WRONLY;
        }
    }
    return true;
}

}  // namespace

std::map<dev_t, std::vector<PortHolder>> FindHolders(const std::set<dev_t>& devices) {
    std::map<dev_t, std::vector<PortHolder>> holders;
    const DirHandle proc = OpenDir("/proc");
    if (!proc || devices.empty()) {
        return holders;
    }
    const pid_t self = getpid();
    while (const dirent* entry = readdir(proc.get())) {
        if (!IsNumber(entry->d_name) || std::stoi(entry->d_name) == self) {
            continue;
        }
        const std::string procDir = std::string("/proc/") + entry->d_name;
        const DirHandle fds = OpenDir(procDir + "/fd");
        if (!fds) {
            continue;  // gone, or another user's process
        }
        std::set<dev_t> seen;  // one entry per process, however many descriptors
        while (const dirent* fd = readdir(fds.get())) {
            struct stat st {};
            if (!IsNumber(fd->d_name) || stat((procDir + "/fd/" + fd->d_name).c_str(), &st) != 0 ||
                !S_ISCHR(st.st_mode) || devices.count(st.st_rdev) == 0 ||
                !seen.insert(st.st_rdev).second) {
                continue;
            }
            holders[st.st_rdev].push_back({static_cast<pid_t>(std::stoi(entry->d_name)),
                                           ProgramName(procDir),
                                           OpenedForReading(procDir, fd->d_name)});
        }
    }
    return holders;
}

std::vector<PortHolder> FindHolders(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) {
        return {};
    }
    auto found = FindHolders(std::set<dev_t>{st.st_rdev});
    return found[st.st_rdev];
}

}  // namespace tessaly
