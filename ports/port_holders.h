// Which processes have a device open, as far as /proc lets this user see: a
// process of another user shows only to root. Windows tells no holders.
#pragma once

#include <sys/types.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "ports/serial_port_info.h"

namespace tessaly {

// Holders of each of `devices` (device numbers), this process left out; one
// pass over /proc for all of them.
std::map<dev_t, std::vector<PortHolder>> FindHolders(const std::set<dev_t>& devices);

// Holders of the character device at `path`; empty when it is none or none can be seen.
std::vector<PortHolder> FindHolders(const std::string& path);

}  // namespace tessaly
