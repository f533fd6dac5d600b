#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// One AX.25 address field: six callsign characters shifted left by one, then
// the SSID byte (SSID in bits 1-4, 0x60 set, bit 0 = last address).
using AddressField = std::array<std::uint8_t, 7>;

bool encodeAddress(const std::string& text, AddressField& out);
std::string decodeAddress(const std::uint8_t* field);

// Path text "WIDE1-1,WIDE2-1" <-> back-to-back address fields. encodePath
// returns the byte count (7 per element) or -1.
int encodePath(const std::string& text, std::vector<std::uint8_t>& out);
std::string decodePath(const std::uint8_t* bytes);

}  // namespace varnel
