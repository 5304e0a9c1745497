#include "app/console_output.h"

namespace tessaly {

// The standard streams are the terminal's already.
void UseStartingConsole() {}

}  // namespace tessaly
