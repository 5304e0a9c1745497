// Starts the toolkit once for a window test program, after GoogleTest has
// parsed its arguments, so that listing the tests needs no display.
#pragma once

namespace tessaly::testing {

// Exit status of a window test program that could not open a display; the
// test runner counts it as skipped.
inline constexpr int kNoDisplayExitCode = 77;

// Registers the environment; window test programs get this from the shared main.
void AddToolkitTestEnvironment(int argc, char** argv);

}  // namespace tessaly::testing
