#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "config/ax25_codec.h"

namespace varnel {

// A refusal that says why: `Invalid callsign "W1AW-16": SSID must be 0 to
// 15.` (`message` is the window's own text, `shown` what the user typed).
std::string addressRefusal(const char* message, const std::string& shown, AddressRefusal why);

// The digipeater path as the configuration dialogs take it from their edit:
// every space removed (so "WIDE1-1, WIDE2-1" is two elements), encoded as up
// to three address fields (21 bytes). "" with the bytes, or the message that
// refuses it ("Invalid path setting" with its reason, "Path too long");
// `bytes` is then left alone. Spaces that join two elements
// ("WIDE1-1 WIDE2-1") are refused: removing them would send one hop.
std::string encodeDialogPath(const std::string& text, std::vector<std::uint8_t>& bytes);

// Where a record keeps the station's own address (7 bytes), the path's
// length and the path slot (21 bytes).
struct StationFields {
    std::uint8_t* source;
    std::uint8_t* pathLength;
    std::uint8_t* path;
};

// The callsign box (blanks around it dropped) into the station's address,
// and the path box into the slot. A box that still shows what the record
// holds keeps those bytes as they are; an edited one is encoded whole (a
// text longer than the box's typing limit is refused, never cut). The
// address always has bit 7 of its SSID byte set; the path's last address,
// or the station's own with no path, is marked as the last one. "", or the
// message that refuses the box ("Invalid callsign" with its reason, or that
// of encodeDialogPath); what passed before stays stored.
std::string storeStationAddress(const std::string& text, const StationFields& record);
std::string storeStationPath(const std::string& text, const StationFields& record);

// The callsign as the callsign box holds it for storing: blanks around it
// dropped.
std::string callsignBoxText(const std::string& text);

}  // namespace varnel
