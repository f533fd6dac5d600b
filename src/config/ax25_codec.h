#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// One AX.25 address field: six callsign characters shifted left by one, then
// the SSID byte (SSID in bits 1-4, 0x60 set, bit 0 = last address).
using AddressField = std::array<std::uint8_t, 7>;

// Why a text is not an address (or a path element).
enum class AddressRefusal {
    None,
    SsidRange,       // the number after '-' is above 15 (or a second '-' makes it negative)
    TextAfterSsid,   // something other than digits follows the '-'
    CallsignLength,  // more than six callsign characters, or a path element over nine
    BadCharacter,    // a callsign character that is not a letter or a digit
    EmptyElement,    // a path element with no callsign: no digipeater answers to it
};

// "W1AW-5" -> field. The SSID is the decimal number after the first '-'
// (none: 0) and must end the text: "W1AW-7xyz" is refused, not cut to
// W1AW-7. On refusal `out` is untouched.
AddressRefusal encodeAddressChecked(const std::string& text, AddressField& out);
inline bool encodeAddress(const std::string& text, AddressField& out) {
    return encodeAddressChecked(text, out) == AddressRefusal::None;
}
std::string decodeAddress(const std::uint8_t* field);

// Path text "WIDE1-1,WIDE2-1" <-> back-to-back address fields. encodePath
// returns the byte count (7 per element) or -1, leaving `out` alone on
// failure; `why`, when given, says what refused it and `element` (0 first)
// which element. An empty element (",," or a comma at the end) is refused:
// it would go on air as an all-space address that no digipeater matches.
int encodePath(const std::string& text, std::vector<std::uint8_t>& out, AddressRefusal* why = nullptr,
               std::size_t* element = nullptr);

// Shows the path kept in a record's slot of `slotSize` bytes whose stored
// length byte says `storedLength`. Only whole fields inside both bounds are
// read, and decoding stops after the field marked last. Flash from older
// firmware or a half-finished write may hold a path without its end mark or a
// length beyond the slot: reading on would show the record's next fields as
// addresses, a text that then cannot be stored back. A length of 0 is no path.
std::string decodePath(const std::uint8_t* slot, std::size_t slotSize, std::size_t storedLength);

}  // namespace varnel
