// A path's folder and last component, as the file calls see them.
#pragma once

#include <string>

namespace tessaly {

// "." for a bare name, "/" for a name in the root folder.
inline std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Empty when the path ends in a slash.
inline std::string BaseOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace tessaly
