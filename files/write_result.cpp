#include "files/write_result.h"

#include <system_error>

namespace tessaly {

WriteResult WriteResult::FromErrno(int error) {
    if (error == 0) {
        return {};
    }
    return {error, std::system_category().message(error)};
}

}  // namespace tessaly
