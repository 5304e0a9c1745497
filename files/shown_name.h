// File names as the operator is shown them, on a terminal or in a message box.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// The name with every control character written as an escape, so that a name can
// neither move the cursor, recolour or retitle a terminal, nor break a message
// into lines: \n, \t, \r and \\ by name (on Windows, where '\' separates folders, it
// stays as it is), other C0 bytes, DEL and bytes that are not
// UTF-8 as \xHH, C1 controls and the bidirectional overrides as \uHHHH. Anything
// else, including non-ASCII letters, is left as it is. The result is valid UTF-8.
std::string ShownName(std::string_view name);

}  // namespace tessaly
