// Outcome of writing a file: the system's error number and the reason in words.
#pragma once

#include <string>
#include <utility>

namespace tessaly {

struct WriteResult {
    int error = 0;       // errno of the step that failed; 0 on success
    std::string reason;  // e.g. "No space left on device"; empty on success

    bool ok() const { return error == 0; }

    static WriteResult FromErrno(int error);
    static WriteResult Refused(int error, std::string reason) { return {error, std::move(reason)}; }
};

}  // namespace tessaly
