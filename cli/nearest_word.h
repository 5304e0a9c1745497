// A misspelt command ("chek") is answered with the command it most likely meant.
#pragma once

#include <string>
#include <vector>

namespace tessaly {

// The candidate fewest single-character edits away from `word`, when that is
// close enough to be a slip of the keyboard (at most a third of the word, and at
// least one edit); empty otherwise.
std::string NearestWord(const std::string& word, const std::vector<std::string>& candidates);

}  // namespace tessaly
