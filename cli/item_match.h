// Matches a list value as a person types it: any case, an unambiguous start of
// the item, the name in its parentheses ("Euro" for "PC858 (Euro)"), the item's
// index, or the right spelling of an item the list spells wrong.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "resources/setting_lists.h"

namespace tessaly {

struct ItemAlias {
    const char* text;
    std::int32_t index;
};
using ItemAliases = std::span<const ItemAlias>;

enum class MatchKind { Found, Unknown, Ambiguous };

struct ItemMatch {
    MatchKind kind = MatchKind::Unknown;
    std::int32_t index = -1;
};

// A whole name (any case) first, then a decimal index, then the start of a name;
// a start that fits more than one item is Ambiguous.
ItemMatch MatchItem(ListItems items, ItemAliases aliases, const std::string& typed);

// The lists' misspelt items under their right spellings.
ItemAliases SettingAliases(ListItems items);
// Every other name an item answers to, as it is written: the name in each item's
// parentheses ("Euro"), then `aliases`. For completion, which offers them too.
std::vector<std::string> OtherNames(ListItems items, ItemAliases aliases);

// "\"pc85\" fits more than one of these:" or "... is none of these:", then every
// item with its index, one a line.
std::string NoMatchText(ListItems items, const std::string& typed, MatchKind kind);

}  // namespace tessaly
