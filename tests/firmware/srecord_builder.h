#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace varnel::test {

// Builds one well-formed S-record line (no line end) with a correct checksum:
// type '1', '2' or '3' picks 4, 6 or 8 address digits; other types use 4.
inline std::string srecord(char type, std::uint32_t address, const std::vector<std::uint8_t>& data) {
    const int addressBytes = type == '2' ? 3 : type == '3' ? 4 : 2;
    std::vector<std::uint8_t> body;
    body.push_back(static_cast<std::uint8_t>(addressBytes + data.size() + 1));
    for (int i = addressBytes - 1; i >= 0; --i) body.push_back(static_cast<std::uint8_t>(address >> (8 * i)));
    body.insert(body.end(), data.begin(), data.end());
    unsigned sum = 0;
    std::string line = std::string("S") + type;
    char hex[3];
    for (auto b : body) {
        std::snprintf(hex, sizeof hex, "%02X", b);
        line += hex;
        sum += b;
    }
    std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned>(~sum & 0xFF));
    return line + hex;
}

}  // namespace varnel::test
