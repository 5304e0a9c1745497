// Runs a piece of a test in a child process as a user without privileges, so that
// permission checks apply that root would bypass.
#pragma once

#include <functional>

namespace tessaly::test {

inline constexpr unsigned kNobody = 65534;

// As root the child drops to uid and gid 65534 with no supplementary groups;
// otherwise it keeps the current user, who has no privileges to drop. Returns the
// child's exit status, or -1 if it did not end within 30 seconds (then it is killed).
int RunAsOtherUser(const std::function<int()>& body);

}  // namespace tessaly::test
