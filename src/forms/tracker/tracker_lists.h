#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "config/device_target.h"
#include "forms/common/form_control.h"

namespace varnel {

// One row of the symbol list: the name shown and the APRS table and code
// characters it stands for.
struct AprsSymbol {
    std::string_view name;
    char table;
    char code;
};

// The symbol list in the order the dialog shows it (the names exactly as the
// trackers' users know them, misspelling included).
inline constexpr std::size_t kAprsSymbolCount = 82;
extern const std::array<AprsSymbol, kAprsSymbolCount> kAprsSymbols;

// Waypoint names may be 6 to 9 characters; the record stores the row index.
inline constexpr std::array<std::string_view, 4> kWaypointNameLengths{"6", "7", "8", "9"};

// The rows of each list as the dialog fills it; each entry's data is what
// the record stores (speed lists: the row index into kSerialSpeedCodes;
// mode lists: the mode code).
std::vector<ListEntry> symbolListEntries();
std::vector<ListEntry> waypointNameLengthEntries();
std::vector<ListEntry> portSpeedEntries();
// The modes a chip kind's firmware offers on port A or port B (empty for
// kinds without serial-port modes).
std::vector<ListEntry> portModeEntries(TargetKind kind, bool portB);

}  // namespace varnel
