// Writes that fail part-way, made with the limit on the size of the files this
// process writes.
#pragma once

#include <signal.h>
#include <sys/resource.h>

namespace tessaly::test {

// Runs `write` with that limit at `bytes` and SIGXFSZ ignored, so that a write past
// it fails with EFBIG instead of ending the test; both are put back afterwards.
// False, with `write` not run, when the limit cannot be set.
template <class Write>
bool UnderFileSizeLimit(rlim_t bytes, Write write) {
    struct rlimit saved {};
    if (::getrlimit(RLIMIT_FSIZE, &saved) != 0) {
        return false;
    }
    struct rlimit limited = saved;
    limited.rlim_cur = bytes;
    const sighandler_t previous = ::signal(SIGXFSZ, SIG_IGN);
    const bool limitedNow = ::setrlimit(RLIMIT_FSIZE, &limited) == 0;
    if (limitedNow) {
        write();
        ::setrlimit(RLIMIT_FSIZE, &saved);
    }
    ::signal(SIGXFSZ, previous);
    return limitedNow;
}

}  // namespace tessaly::test
