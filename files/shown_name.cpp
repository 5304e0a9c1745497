#include "files/shown_name.h"

#include "files/separator.h"

#include <cstdint>
#include <cstdio>

namespace tessaly {

namespace {

// Length of the UTF-8 sequence at `at` and its code point; 0 when the bytes there
// are not one (overlong forms and surrogates included).
std::size_t DecodeUtf8(std::string_view text, std::size_t at, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[at + i]); };
    const std::uint8_t lead = byte(0);
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const std::uint8_t next = byte(i);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) {
            return 0;
        }
        code = (code << 6) | (next & 0x3F);
    }
    return length;
}

bool IsEscapedCodePoint(char32_t code) {
    return (code >= 0x80 && code <= 0x9F) || code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

void AppendHex(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

}  // namespace

std::string ShownName(std::string_view name) {
    std::string shown;
    shown.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const auto byte = static_cast<std::uint8_t>(name[at]);
        if (byte < 0x80) {
            switch (byte) {
                case '\n':
                    shown += "\\n";
                    break;
                case '\t':
                    shown += "\\t";
                    break;
                case '\r':
                    shown += "\\r";
                    break;
                case '\\':
                    // Within a name it is doubled, so that no escape can be faked;
                    // where it separates folders it is shown as the system writes it.
                    shown += BackslashSeparatesFolders() ? "\\" : "\\\\";
                    break;
                default:
                    if (byte < 0x20 || byte == 0x7F) {
                        AppendHex(shown, "\\x%02X", byte);
                    } else {
                        shown += static_cast<char>(byte);
                    }
            }
            ++at;
            continue;
        }
        char32_t code = 0;
        const std::size_t length = DecodeUtf8(name, at, code);
        if (length == 0) {
            AppendHex(shown, "\\x%02X", byte);
            ++at;
        } else if (IsEscapedCodePoint(code)) {
            AppendHex(shown, "\\u%04X", static_cast<unsigned>(code));
            at += length;
        } else {
            shown.append(name.substr(at, length));
            at += length;
        }
    }
    return shown;
}

}  // namespace tessaly
