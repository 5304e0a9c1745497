// Names of the temporaries a file replacement makes: names no person would choose,
// so that the clean-up of left-over temporaries never takes a file of the user's.
#pragma once

#include <string>
#include <string_view>

namespace tessaly {

// A fresh hidden name: a fixed prefix, 16 random hex digits and 8 that check them.
std::string TemporaryName();
// True only for names TemporaryName can give.
bool IsTemporaryName(std::string_view name);

}  // namespace tessaly
