#include "files/temporary_name.h"

#include <cstdint>
#include <random>

namespace tessaly {

namespace {

// Hidden, and short whatever the target's name: a name of 255 characters, the
// longest most file systems take, still gets its temporary. No person names a file
// like this by chance: after the prefix come 16 random hex digits and then 8 that
// are a checksum of them, so the clean-up can tell its own temporaries from files
// of the user's that merely start the same way.
constexpr std::string_view kTemporaryPrefix = ".tessaly~";
constexpr std::string_view kHexDigits = "0123456789abcdef";
constexpr std::size_t kRandomDigits = 16;
constexpr std::size_t kCheckDigits = 8;

std::string CheckDigits(std::string_view random) {
    std::uint32_t hash = 0x811c9dc5u;  // FNV-1a, salted so that a plain hash does not match
    for (const char c : std::string_view("tessaly temporary")) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x01000193u;
    }
    for (const char c : random) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x01000193u;
    }
    std::string digits(kCheckDigits, '0');
    for (std::size_t i = kCheckDigits; i-- > 0; hash >>= 4) {
        digits[i] = kHexDigits[hash & 0xF];
    }
    return digits;
}

}  // namespace

std::string TemporaryName() {
    std::random_device entropy;
    std::uniform_int_distribution<std::size_t> pick(0, kHexDigits.size() - 1);
    std::string random;
    for (std::size_t i = 0; i < kRandomDigits; ++i) {
        random += kHexDigits[pick(entropy)];
    }
    return std::string(kTemporaryPrefix) + random + CheckDigits(random);
}

bool IsTemporaryName(std::string_view name) {
    if (name.size() != kTemporaryPrefix.size() + kRandomDigits + kCheckDigits ||
        !name.starts_with(kTemporaryPrefix) ||
        name.find_first_not_of(kHexDigits, kTemporaryPrefix.size()) != std::string_view::npos) {
        return false;
    }
    const std::string_view random = name.substr(kTemporaryPrefix.size(), kRandomDigits);
    return name.substr(kTemporaryPrefix.size() + kRandomDigits) == CheckDigits(random);
}

}  // namespace tessaly
