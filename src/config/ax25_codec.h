#pragma once

#include <array>
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
// failure. decodePath stops after the field marked last, and after six fields
// in any case, so up to 42 bytes must be readable from `bytes`.
int encodePath(const std::string& text, std::vector<std::uint8_t>& out);
std::string decodePath(const std::uint8_t* bytes);

}  // namespace varnel
