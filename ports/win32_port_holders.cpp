// Windows opens a COM port for one program at a time and does not say which one
// has it; while Tessaly holds the port nobody else can, so there is no one to name.
#include "ports/port_holders.h"

namespace tessaly {

std::vector<PortHolder> FindHolders(const std::string&) {
    return {};
}

}  // namespace tessaly
