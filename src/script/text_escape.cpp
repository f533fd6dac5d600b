#include "script/text_escape.h"

namespace varnel {

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::vector<std::uint8_t> unescapeText(std::string_view text) {
    std::vector<std::uint8_t> out;
    out.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\') {
            out.push_back(static_cast<std::uint8_t>(c));
            continue;
        }
        if (i + 1 == text.size()) {
            out.push_back('\\');  // nothing follows: keep the backslash itself
            break;
        }
        char e = text[++i];
        switch (e) {
        case 'a': out.push_back(0x07); break;
        case 'b': out.push_back(0x08); break;
        case 't': out.push_back(0x09); break;
        case 'n': out.push_back(0x0A); break;
        case 'r': out.push_back(0x0D); break;
        case 'x': {
            int value = 0;
            int digits = 0;
            while (digits < 2 && i + 1 < text.size() && hexDigitValue(text[i + 1]) >= 0) {
                value = value * 16 + hexDigitValue(text[++i]);
                ++digits;
            }
            out.push_back(digits == 0 ? static_cast<std::uint8_t>('x') : static_cast<std::uint8_t>(value));
            break;
        }
        default: out.push_back(static_cast<std::uint8_t>(e)); break;
        }
    }
    out.push_back(0x00);
    return out;
}

std::string escapeText(const std::uint8_t* bytes, std::size_t count) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint8_t b = bytes[i];
        switch (b) {
        case 0x07: out += "\\a"; continue;
        case 0x08: out += "\\b"; continue;
        case 0x09: out += "\\t"; continue;
        case 0x0A: out += "\\n"; continue;
        case 0x0D: out += "\\r"; continue;
        case '\\': out += "\\\\"; continue;
        default: break;
        }
        if (b >= 0x20 && b <= 0x7E) {
            out += static_cast<char>(b);
        } else {
            out += "\\x";
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        }
    }
    return out;
}

}  // namespace varnel
