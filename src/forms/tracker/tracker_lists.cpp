#include "forms/tracker/tracker_lists.h"

#include <algorithm>

#include "config/profile_layout.h"

namespace varnel {

const std::array<AprsSymbol, kAprsSymbolCount> kAprsSymbols{{
    {"Car", '/', '>'},
    {"Truck", '/', 'k'},
    {"Van", '/', 'v'},
    {"Recreational Vehicle", '/', 'R'},
    {"Truck (semi/lorry)", '/', 'u'},
    {"Jeep", '/', 'j'},
    {"Bus", '/', 'U'},
    {"Motorcycle", '/', '<'},
    {"Bicycle", '/', 'b'},
    {"Runner", '/', '['},
    {"Horse", '/', 'e'},
    {"Aircraft", '/', '\''},
    {"Large Aircraft", '/', '^'},
    {"Glider", '/', 'g'},
    {"Balloon", '/', 'O'},
    {"Digi", '/', '#'},
    {"Helicopter", '/', 'X'},
    {"Ship", '/', 's'},
    {"Yacht", '/', 'Y'},
    {"Canoe", '/', 'C'},
    {"House", '/', '-'},
    {"Phone", '/', '$'},
    {"DX Cluster", '/', '%'},
    {"HF Gateway", '/', '&'},
    {"Red Cross", '/', '+'},
    {"Police", '/', '!'},
    {"Fire", '/', ':'},
    {"Fire Truck", '/', 'f'},
    {"Ambulance", '/', 'a'},
    {"Fire Station", '/', 'd'},
    {"Aid Station", '/', 'A'},
    {"Reverse L", '/', ','},
    {"X", '/', '.'},
    {"Dot", '/', '/'},
    {"Circle-0", '/', '0'},
    {"Circle-1", '/', '1'},
    {"Circle-2", '/', '2'},
    {"Circle-3", '/', '3'},
    {"Circle-4", '/', '4'},
    {"Circle-5", '/', '5'},
    {"Circle-6", '/', '6'},
    {"Circle-7", '/', '7'},
    {"Circle-8", '/', '8'},
    {"Circle-9", '/', '9'},
    {"Campground", '/', ';'},
    {"Locomotive", '/', '='},
    {"Server", '/', '?'},
    {"BBS", '/', 'B'},
    {"Hotel", '/', 'H'},
    {"School", '/', 'K'},
    {"NTS Station", '/', 'N'},
    {"Shuttle", '/', 'S'},
    {"NWS Site", '/', 'W'},
    {"Triangle", '/', '\\'},
    {"Weather Station", '/', '_'},
    {"Dish Antnena", '/', '`'},
    {"Hospital", '/', 'h'},
    {"IOTA", '/', 'i'},
    {"EOC", '/', 'o'},
    {"Rover/Dog", '/', 'p'},
    {"Antenna", '/', 'r'},
    {"Truck Stop", '/', 't'},
    {"Water Station", '/', 'w'},
    {"Yagi Antenna", '/', 'y'},
    {"Diamond", '/', '}'},
    {"EMERGENCY", '\\', '!'},
    {"Bank/ATM", '\\', '$'},
    {"Church", '\\', '+'},
    {"Gas Station", '\\', '9'},
    {"Park/Picnic Area", '\\', ';'},
    {"Info Kiosk", '\\', '?'},
    {"Coast Guard", '\\', 'C'},
    {"Lighthouse", '\\', 'L'},
    {"Navigation Buoy", '\\', 'N'},
    {"Parking", '\\', 'P'},
    {"Restaurant", '\\', 'R'},
    {"VORTAC", '\\', 'V'},
    {"NWS Site and Digi", '\\', 'W'},
    {"Pharmacy", '\\', 'X'},
    {"Weather and Digi", '\\', '_'},
    {"Small Circle", '\\', 'o'},
    {"Restrooms", '\\', 'r'},
}};

std::vector<ListEntry> symbolListEntries() {
    std::vector<ListEntry> rows;
    for (std::size_t i = 0; i < kAprsSymbols.size(); ++i)
        rows.push_back({std::string(kAprsSymbols[i].name), static_cast<int>(i)});
    return rows;
}

std::vector<ListEntry> waypointNameLengthEntries() {
    std::vector<ListEntry> rows;
    for (std::size_t i = 0; i < kWaypointNameLengths.size(); ++i)
        rows.push_back({std::string(kWaypointNameLengths[i]), static_cast<int>(i)});
    return rows;
}

std::vector<ListEntry> portSpeedEntries() {
    std::vector<ListEntry> rows;
    for (std::size_t i = 0; i < kSerialSpeedCodes.size(); ++i)
        rows.push_back({std::string(kSerialSpeedCodes[i].speed), static_cast<int>(i)});
    return rows;
}

std::vector<ListEntry> portModeEntries(TargetKind kind, bool portB) {
    // AP64/AW60 and JM128 firmware speaks Garmin on both ports; the JM60
    // firmware has no Garmin mode. Hardware flow control exists on port B only.
    std::vector<std::uint8_t> codes;
    switch (kind) {
    case KindAP64:
    case KindJM128: codes = {kModeAuto, kModeGarmin, kModeKiss, kModeWs2300, kModeText, kModeDavis}; break;
    case KindJM60: codes = {kModeAuto, kModeKiss, kModeWs2300, kModeText, kModeDavis}; break;
    default: return {};
    }
    if (portB) codes.insert(std::find(codes.begin(), codes.end(), kModeText), kModeFlow);
    std::vector<ListEntry> rows;
    rows.reserve(codes.size());
    for (std::uint8_t code : codes) rows.push_back({std::string(serialModeName(code)), code});
    return rows;
}

}  // namespace varnel
