#include "resources/setting_lists.h"

namespace tessaly {

const char* ItemText(ListItems items, std::int32_t index) {
    return IsShownIndex(index, items.size()) ? items[static_cast<std::size_t>(index)] : nullptr;
}

}  // namespace tessaly
