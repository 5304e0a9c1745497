#include "ports/port_holders.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
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

std::string ProgramName(const std::string& procDir) {
    std::string name;
    std::ifstream comm(procDir + "/comm");
    std::getline(comm, name);
    return name;
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
            holders[st.st_rdev].push_back(
                {static_cast<pid_t>(std::stoi(entry->d_name)), ProgramName(procDir)});
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
