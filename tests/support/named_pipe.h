// A named pipe (FIFO) in a folder, where the platform has them: a file a save
// dialog may offer that is no file.
#pragma once

#include <filesystem>

namespace tessaly::test {

// False on Windows, whose named pipes live in \\.\pipe\ and never in a folder.
bool NamedPipesInFolders();
bool MakeNamedPipe(const std::filesystem::path& path);

}  // namespace tessaly::test
