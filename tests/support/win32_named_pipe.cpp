#include "tests/support/named_pipe.h"

namespace tessaly::test {

bool NamedPipesInFolders() {
    return false;
}

bool MakeNamedPipe(const std::filesystem::path&) {
    return false;
}

}  // namespace tessaly::test
