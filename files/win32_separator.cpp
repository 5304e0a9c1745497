#include "files/separator.h"

namespace tessaly {

bool BackslashSeparatesFolders() {
    return true;
}

}  // namespace tessaly
