#include "config/ax25_codec.h"

#include <algorithm>
#include <cstddef>

namespace varnel {
namespace {

constexpr std::size_t kCallsignChars = 6;
constexpr std::size_t kSsidByte = 6;
constexpr std::size_t kFieldSize = 7;
constexpr std::uint8_t kShiftedSpace = ' ' << 1;
constexpr std::uint8_t kSsidReservedBits = 0x60;  // AX.25 sets both "reserved" bits
constexpr std::uint8_t kLastAddressBit = 0x01;
constexpr std::uint8_t kSsidMask = 0x1E;
constexpr int kMaxSsid = 15;
constexpr std::size_t kMaxPathElementText = 9;  // what the dialogs let through per digipeater

bool isAsciiAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The SSID after the '-', read like atoi: leading blanks, an optional sign,
// then digits; 0 when there are none. Large numbers saturate (they are
// refused anyway).
long parseSsid(const std::string& text, std::size_t pos) {
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    long value = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        if (value < 1000) value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    return negative ? -value : value;
}

}  // namespace

bool encodeAddress(const std::string& text, AddressField& out) {
    AddressField field;
    field.fill(kShiftedSpace);

    std::string callsign = text;
    long ssid = 0;
    if (auto dash = text.find('-'); dash != std::string::npos) {
        callsign = text.substr(0, dash);
        ssid = parseSsid(text, dash + 1);
    }
    // A second '-' would make the SSID negative, and the field has room for
    // six callsign characters only: both are bad callsigns, not something to
    // squeeze into the neighbouring bytes.
    if (ssid < 0 || ssid > kMaxSsid) return false;
    if (callsign.size() > kCallsignChars) return false;
    field[kSsidByte] = static_cast<std::uint8_t>((ssid << 1) | kSsidReservedBits);

    for (std::size_t i = 0; i < callsign.size(); ++i) {
        if (!isAsciiAlnum(callsign[i])) return false;
        field[i] = static_cast<std::uint8_t>(asciiUpper(callsign[i]) << 1);
    }
    out = field;
    return true;
}

std::string decodeAddress(const std::uint8_t* field) {
    std::string callsign;
    for (std::size_t i = 0; i < kCallsignChars; ++i) {
        const char c = static_cast<char>((field[i] & 0xFE) >> 1);
        if (c == ' ' || c == '\0') break;  // the callsign ends at its padding
        callsign.push_back(c);
    }
    const int ssid = (field[kSsidByte] & kSsidMask) >> 1;
    if (ssid == 0) return callsign;
    return callsign + "-" + std::to_string(ssid);
}

int encodePath(const std::string& text, std::vector<std::uint8_t>& out) {
    std::vector<std::uint8_t> bytes;
    if (!text.empty()) {
        std::size_t start = 0;
        for (;;) {
            const std::size_t comma = text.find(',', start);
            const bool last = comma == std::string::npos;
            const std::string element = text.substr(start, last ? std::string::npos : comma - start);
            if (!last && element.size() > kMaxPathElementText) return -1;
            AddressField field;
            if (!encodeAddress(element, field)) return -1;
            if (last) field[kSsidByte] |= kLastAddressBit;
            bytes.insert(bytes.end(), field.begin(), field.end());
            if (last) break;
            start = comma + 1;
        }
    }
    out = std::move(bytes);
    return static_cast<int>(out.size());
}

std::string decodePath(const std::uint8_t* slot, std::size_t slotSize, std::size_t storedLength) {
    const std::size_t fields = std::min(slotSize, storedLength) / kFieldSize;
    std::string text;
    for (std::size_t n = 0; n < fields; ++n) {
        const std::uint8_t* field = slot + n * kFieldSize;
        if (n > 0) text += ',';
        text += decodeAddress(field);
        if (field[kSsidByte] & kLastAddressBit) break;
    }
    return text;
}

}  // namespace varnel
