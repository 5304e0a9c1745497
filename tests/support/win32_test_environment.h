// Starts the toolkit once for a window test program under Windows, after
// GoogleTest has parsed its arguments, so that listing the tests needs no desktop.
#pragma once

namespace tessaly::testing {

// Exit status of a window test program that could not reach a desktop; the
// test runner counts it as skipped.
inline constexpr int kNoDesktopExitCode = 77;

// Registers the environment; window test programs get this from their main.
void AddWin32TestEnvironment();

}  // namespace tessaly::testing
