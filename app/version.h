// The program's version record.
#pragma once

#include "resources/project_version.h"

namespace tessaly {

inline constexpr const char* kFileVersion = "2006.8.25.1";
inline constexpr const char* kProductVersion = kProjectVersion;
inline constexpr const char* kProductDescription =
    "Tessaly: reads and changes the user settings of a customer display";
inline constexpr const char* kVersionLanguage = "U.S. English";

}  // namespace tessaly
