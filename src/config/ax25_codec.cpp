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

bool isAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

char asciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The SSID after the '-': digits to the end of the text, 0 when there are
// none. A second '-' (a negative number) is out of range; any other
// character after the digits is text the field has no room for, and
// reading past it would send a different address than the one typed.
AddressRefusal parseSsid(const std::string& text, std::size_t pos, long& ssid) {
    ssid = 0;
    if (pos < text.size() && text[pos] == '-') return AddressRefusal::SsidRange;
    for (; pos < text.size(); ++pos) {
        if (text[pos] < '0' || text[pos] > '9') return AddressRefusal::TextAfterSsid;
        if (ssid <= kMaxSsid) ssid = ssid * 10 + (text[pos] - '0');
    }
    return ssid > kMaxSsid ? AddressRefusal::SsidRange : AddressRefusal::None;
}

}  // namespace

AddressRefusal encodeAddressChecked(const std::string& text, AddressField& out) {
    AddressField field;
    field.fill(kShiftedSpace);

    std::string callsign = text;
    long ssid = 0;
    if (auto dash = text.find('-'); dash != std::string::npos) {
        callsign = text.substr(0, dash);
        if (const AddressRefusal why = parseSsid(text, dash + 1, ssid); why != AddressRefusal::None) return why;
    }
    // The field has room for six callsign characters only: a longer one is a
    // bad callsign, not something to squeeze into the neighbouring bytes.
    for (char c : callsign)
        if (!isAsciiAlnum(c)) return AddressRefusal::BadCharacter;
    if (callsign.size() > kCallsignChars) return AddressRefusal::CallsignLength;
    field[kSsidByte] = static_cast<std::uint8_t>((ssid << 1) | kSsidReservedBits);
    for (std::size_t i = 0; i < callsign.size(); ++i)
        field[i] = static_cast<std::uint8_t>(asciiUpper(callsign[i]) << 1);
    out = field;
    return AddressRefusal::None;
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

int encodePath(const std::string& text, std::vector<std::uint8_t>& out, AddressRefusal* why, std::size_t* element) {
    std::vector<std::uint8_t> bytes;
    const auto refuse = [&](AddressRefusal reason, std::size_t index) {
        if (why) *why = reason;
        if (element) *element = index;
        return -1;
    };
    if (!text.empty()) {
        std::size_t start = 0;
        for (std::size_t index = 0;; ++index) {
            const std::size_t comma = text.find(',', start);
            const bool last = comma == std::string::npos;
            const std::string element = text.substr(start, last ? std::string::npos : comma - start);
            if (!last && element.size() > kMaxPathElementText) return refuse(AddressRefusal::CallsignLength, index);
            if (element.empty() || element[0] == '-') return refuse(AddressRefusal::EmptyElement, index);
            AddressField field;
            if (const AddressRefusal reason = encodeAddressChecked(element, field); reason != AddressRefusal::None)
                return refuse(reason, index);
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
