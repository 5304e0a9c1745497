#include "files/separator.h"

namespace tessaly {

bool BackslashSeparatesFolders() {
    return false;
}

}  // namespace tessaly
