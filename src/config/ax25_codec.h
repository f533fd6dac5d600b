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

// "W1AW-5" -> field. False (and `out` untouched) for an SSID outside 0-15, a
// callsign longer than six characters or one with other than letters/digits.
bool encodeAddress(const std::string& text, AddressField& out);
std::string decodeAddress(const std::uint8_t* field);

// Path text "WIDE1-1,WIDE2-1" <-> back-to-back address fields. encodePath
// returns the byte count (7 per element) or -1, leaving `out` alone on
// failure.
int encodePath(const std::string& text, std::vector<std::uint8_t>& out);

// Shows the path kept in a record's slot of `slotSize` bytes whose stored
// length byte says `storedLength`. Only whole fields inside both bounds are
// read, and decoding stops after the field marked last. Flash from older
// firmware or a half-finished write may hold a path without its end mark or a
// length beyond the slot: reading on would show the record's next fields as
// addresses, a text that then cannot be stored back. A length of 0 is no path.
std::string decodePath(const std::uint8_t* slot, std::size_t slotSize, std::size_t storedLength);

}  // namespace varnel
