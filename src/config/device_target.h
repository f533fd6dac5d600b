#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace varnel {

enum TargetKind : std::uint8_t {
    KindNone = 0,
    KindKX8 = 1,
    KindAP64 = 2,
    KindJL16 = 3,
    KindJM60 = 4,
    KindJM128 = 5,
};

// featureMask bits the program consults.
inline constexpr std::uint32_t kFeatureDiagnostics = 0x04;
inline constexpr std::uint32_t kFeatureWaypoints = 0x10;

inline constexpr std::uint32_t kScriptAreaSize = 512;

// One row of the target table, and the current target of a session.
struct DeviceTarget {
    std::string chipName;
    TargetKind kind = KindNone;
    std::uint32_t settingsAddress = 0;
    std::uint32_t settingsSize = 0;
    std::uint32_t scriptAddress = 0;  // 0: the chip keeps no script
    std::uint32_t featureMask = 0;
    double voltageScale = 0.0;  // device units per volt

    bool hasScript() const { return scriptAddress != 0; }
};

struct TargetTableEntry {
    std::string_view chipName;
    TargetKind kind;
    std::uint32_t settingsAddress;
    std::uint32_t settingsSize;
    std::uint32_t scriptAddress;
    std::uint32_t featureMask;
    double voltageScale;
};

// The seven chips the trackers are built on, matched by exact chip name.
inline constexpr std::array<TargetTableEntry, 7> kTargetTable{{
    {"KX8", KindKX8, 0xFB80, 0xFF, 0, 0x00, 17.0},
    {"AP64", KindAP64, 0xF400, 0x200, 0xF600, 0x1C, 12.75},
    {"AW60", KindAP64, 0xF800, 0x200, 0x0870, 0x1C, 12.75},
    {"JL16", KindJL16, 0xF880, 0x240, 0, 0x14, 13.783},
    {"AW32", KindJL16, 0xF880, 0x240, 0, 0x14, 13.783},
    {"JM60", KindJM60, 0xF800, 0x200, 0x10B0, 0x3E, 12.75},
    {"JM128", KindJM128, 0x1F000, 0x200, 0x1F400, 0x3F, 12.75},
}};

// Looks the chip name up in the table and makes that row the current target.
// A name with no row keeps the previous kind, settings place and features but
// leaves the script address at 0.
void selectTarget(DeviceTarget& target, const std::string& chipName);

const TargetTableEntry* findTarget(std::string_view chipName);

}  // namespace varnel
