// Item texts of the five setting lists, in list order. The switch editor, the basic
// settings window and the command line all show these same items, so a list index
// means the same setting everywhere.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace tessaly {

using ListItems = std::span<const char* const>;

// The values behind these items live in switches/setting_mapping.h (CodeTableValues).
inline constexpr std::array<const char*, 17> kCodeTableItems{
    "PC437 (USA: Standard Europe)",
    "Katakana",
    "PC850 (Multilingual)",
    "PC860 (Portugues)",
    "PC863 (Canadian-French)",
    "PC865 (Nordic)",
    "PC737 (Greek)",
    "WPC1250 (Central European)",
    "WPC1251 (Cyrillic)",
    "WPC1252 (Lantin 1)",
    "PC866 (Cyrillic #2)",
    "PC852 (Latin 2)",
    "PC858 (Euro)",
    "PC775 (Baltic)",
    "WPC1253 (Greek)",
    "WPC1254 (Turkish)",
    "PC864(Arabic)",
};

inline constexpr std::array<const char*, 16> kIntlSetItems{
    "U.S.A.",           "France", "Germany", "U.K.",       "Denmak I", "Sweden",        "Italy",
    "Spain I",          "Japan",  "Norway",  "Denmark II", "Spain II", "Latin America", "Korea",
    "Slovenia/Croatia", "China",
};

inline constexpr std::array<const char*, 4> kBrightnessItems{"100%", "60%", "40%", "20%"};

inline constexpr std::array<const char*, 3> kPeripheralItems{"Printer", "Customer Display",
                                                             "Both Printer and Customer Display"};

inline constexpr std::array<const char*, 2> kCursorModeItems{"Cursor is displayed",
                                                             "Cursor is not displayed"};

// A list holds its setting as a signed index; -1, and any other index that names no
// item (a switch value past the list derives such indices), shows as no selection.
constexpr bool IsShownIndex(std::int32_t index, std::size_t itemCount) {
    return index >= 0 && static_cast<std::size_t>(index) < itemCount;
}

// The item an index selects, or nullptr when the list shows no selection.
const char* ItemText(ListItems items, std::int32_t index);

}  // namespace tessaly
