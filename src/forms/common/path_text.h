#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace varnel {

// The digipeater path as the configuration dialogs take it from their edit:
// the first 29 characters with every space removed, encoded as up to three
// address fields (21 bytes). nullptr with the bytes, or the message that
// refuses it ("Invalid path setting", "Path too long"); `bytes` is then
// left alone.
const char* encodeDialogPath(const std::string& text, std::vector<std::uint8_t>& bytes);

// Where a record keeps the station's own address (7 bytes), the path's
// length and the path slot (21 bytes).
struct StationFields {
    std::uint8_t* source;
    std::uint8_t* pathLength;
    std::uint8_t* path;
};

// The callsign box (its first 9 characters) into the station's address, and
// the path box into the slot. A box that still shows what the record holds
// keeps those bytes as they are; an edited one is encoded. The address
// always has bit 7 of its SSID byte set; the path's last address, or the
// station's own with no path, is marked as the last one. nullptr, or the message that refuses the box ("Invalid
// callsign", or that of encodeDialogPath); what passed before stays stored.
const char* storeStationAddress(const std::string& text, const StationFields& record);
const char* storeStationPath(const std::string& text, const StationFields& record);

}  // namespace varnel
