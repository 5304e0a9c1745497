// Where --help and --version print. A program of the Windows desktop starts with
// no console; run from one, it writes to that one.
#pragma once

namespace tessaly {

void UseStartingConsole();

}  // namespace tessaly
