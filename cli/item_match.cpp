#include "cli/item_match.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <set>
#include <vector>

namespace tessaly {

namespace {

constexpr ItemAlias kCodeTableAliases[] = {{"WPC1252 (Latin 1)", 9}, {"Latin 1", 9}};
constexpr ItemAlias kIntlSetAliases[] = {{"Denmark I", 4}};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "Euro" for "PC858 (Euro)"; empty for an item without parentheses.
std::string NameInParentheses(const std::string& text) {
    const auto open = text.find('(');
    const auto close = text.rfind(')');
    if (open != std::string::npos && close != std::string::npos && close > open + 1) {
        return text.substr(open + 1, close - open - 1);
    }
    return {};
}

// The names an item answers to: its text and the name in its parentheses.
std::vector<std::string> NamesOf(const std::string& text) {
    std::vector<std::string> names{Lower(text)};
    if (const std::string inner = NameInParentheses(text); !inner.empty()) {
        names.push_back(Lower(inner));
    }
    return names;
}

struct Named {
    std::string name;
    std::int32_t index;
};

std::vector<Named> AllNames(ListItems items, ItemAliases aliases) {
    std::vector<Named> all;
    for (std::size_t i = 0; i < items.size(); ++i) {
        for (std::string& name : NamesOf(items[i])) {
            all.push_back({std::move(name), static_cast<std::int32_t>(i)});
        }
    }
    for (const ItemAlias& alias : aliases) {
        all.push_back({Lower(alias.text), alias.index});
    }
    return all;
}

ItemMatch FromSet(const std::set<std::int32_t>& found) {
    if (found.empty()) {
        return {MatchKind::Unknown, -1};
    }
    if (found.size() > 1) {
        return {MatchKind::Ambiguous, -1};
    }
    return {MatchKind::Found, *found.begin()};
}

}  // namespace

ItemMatch MatchItem(ListItems items, ItemAliases aliases, const std::string& typed) {
    const std::string key = Lower(typed);
    const std::vector<Named> names = AllNames(items, aliases);
    if (key.empty()) {
        return {};
    }
    std::set<std::int32_t> whole;
    for (const Named& n : names) {
        if (n.name == key) {
            whole.insert(n.index);
        }
    }
    if (!whole.empty()) {
        return FromSet(whole);
    }
    std::int32_t index = -1;
    const char* end = typed.data() + typed.size();
    const auto [stop, error] = std::from_chars(typed.data(), end, index);
    if (error == std::errc() && stop == end) {
        if (IsShownIndex(index, items.size())) {
            return {MatchKind::Found, index};
        }
    }
    std::set<std::int32_t> started;
    for (const Named& n : names) {
        if (n.name.compare(0, key.size(), key) == 0) {
            started.insert(n.index);
        }
    }
    return FromSet(started);
}

std::vector<std::string> OtherNames(ListItems items, ItemAliases aliases) {
    std::vector<std::string> names;
    for (const char* item : items) {
        if (std::string inner = NameInParentheses(item); !inner.empty()) {
            names.push_back(std::move(inner));
        }
    }
    for (const ItemAlias& alias : aliases) {
        names.emplace_back(alias.text);
    }
    return names;
}

ItemAliases SettingAliases(ListItems items) {
    if (items.data() == kCodeTableItems.data()) {
        return kCodeTableAliases;
    }
    if (items.data() == kIntlSetItems.data()) {
        return kIntlSetAliases;
    }
    return {};
}

std::string NoMatchText(ListItems items, const std::string& typed, MatchKind kind) {
    std::string text =
        "\"" + typed + "\" " +
        (kind == MatchKind::Ambiguous ? "fits more than one of these:" : "is none of these:");
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += "\n  " + std::to_string(i) + " \"" + items[i] + "\"";
    }
    return text;
}

}  // namespace tessaly
