#include "tools/windriver/driver_steps.h"

#include <cwchar>

namespace tessaly::windriver {

namespace {

// A whole decimal number (a leading minus allowed, for exit statuses).
std::optional<int> Number(std::wstring_view text) {
    if (text.empty() || text.size() > 10) {
        return std::nullopt;
    }
    const std::wstring copy(text);
    wchar_t* end = nullptr;
    const long value = std::wcstol(copy.c_str(), &end, 10);
    if (end != copy.c_str() + copy.size()) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

}  // namespace

std::optional<Step> ParseStep(std::wstring_view word) {
    const std::size_t equals = word.find(L'=');
    const std::wstring_view verb = word.substr(0, equals);
    const std::wstring_view value =
        equals == std::wstring_view::npos ? std::wstring_view() : word.substr(equals + 1);
    const bool hasValue = equals != std::wstring_view::npos;

    if (verb == L"message" || verb == L"close") {
        if (hasValue) {
            return std::nullopt;
        }
        return Step{verb == L"message" ? Verb::Message : Verb::Close, {}};
    }
    if (!hasValue || value.empty()) {
        return std::nullopt;
    }
    if (verb == L"start" || verb == L"window") {
        return Step{verb == L"start" ? Verb::Start : Verb::Window, std::wstring(value)};
    }
    if (verb == L"select") {
        const std::size_t colon = value.find(L':');
        const auto id = Number(value.substr(0, colon));
        const auto index =
            colon == std::wstring_view::npos ? std::nullopt : Number(value.substr(colon + 1));
        if (!id || !index || *index < 0) {
            return std::nullopt;
        }
        return Step{Verb::Select, {}, *id, *index};
    }
    const auto number = Number(value);
    if (!number) {
        return std::nullopt;
    }
    if (verb == L"click") {
        return Step{Verb::Click, {}, *number};
    }
    if (verb == L"text") {
        return Step{Verb::Text, {}, *number};
    }
    if (verb == L"quiet" && *number >= 0) {
        return Step{Verb::Quiet, {}, *number};
    }
    if (verb == L"exit") {
        return Step{Verb::Exit, {}, *number};
    }
    return std::nullopt;
}

std::optional<std::vector<Step>> ParseSteps(const std::vector<std::wstring>& words,
                                            std::wstring& bad) {
    std::vector<Step> steps;
    for (const std::wstring& word : words) {
        auto step = ParseStep(word);
        if (!step) {
            bad = word;
            return std::nullopt;
        }
        steps.push_back(*step);
    }
    return steps;
}

}  // namespace tessaly::windriver
