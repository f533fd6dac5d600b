#pragma once

#include <array>
#include <cstdint>

#include "core/bytes.h"

namespace varnel {

// The working copy of a tracker's settings area: header, two profiles, the
// digipeater aliases and the access list. The same 505 bytes form the body of
// a configuration file.
namespace settings_layout {
inline constexpr std::size_t kSize = 505;
inline constexpr std::size_t kHeaderSize = 5;
inline constexpr std::size_t kFamily = 0;
inline constexpr std::size_t kType = 1;
inline constexpr std::size_t kBuild = 2;  // u16 big-endian
inline constexpr std::size_t kFlags = 4;
inline constexpr std::size_t kProfile1 = 5;
inline constexpr std::size_t kProfile2 = 196;
inline constexpr std::size_t kProfileSlotSize = 191;
inline constexpr std::size_t kDigipeaterAliases = 387;  // 8 entries of 8 bytes
inline constexpr std::size_t kDigipeaterAliasCount = 8;
inline constexpr std::size_t kDigipeaterAliasSize = 8;
inline constexpr std::size_t kAccessList = 451;  // 6 callsigns of 6 bytes
inline constexpr std::size_t kAccessListCount = 6;
inline constexpr std::size_t kAccessListEntrySize = 6;
inline constexpr std::size_t kReserved = 487;  // 18 bytes carried unchanged

inline constexpr std::uint8_t kFlagShowFreqButton = 0x80;
}  // namespace settings_layout

// Family byte values: which dialog edits the record.
inline constexpr std::uint8_t kFamilyTracker = 0;
inline constexpr std::uint8_t kFamilyWeather = 1;
inline constexpr std::uint8_t kFamilyTrackerText = 2;  // tracker with a text header instead of a path
inline constexpr std::uint8_t kFamilyNoDialog = 3;

// The family in words, for messages that refuse a record of the wrong one.
inline const char* familyDescription(std::uint8_t family) {
    switch (family) {
    case kFamilyTracker: return "tracker";
    case kFamilyWeather: return "weather station";
    case kFamilyTrackerText: return "tracker with a text header";
    case kFamilyNoDialog: return "firmware without settings";
    default: return "blank or unknown firmware";
    }
}

// The families whose settings a dialog (and `show`) can make sense of; any
// other family byte is firmware this program does not know, or no settings.
inline bool familyHasSettingsDialog(std::uint8_t family) {
    return family == kFamilyTracker || family == kFamilyTrackerText || family == kFamilyWeather;
}

struct SettingsRecord {
    std::array<std::uint8_t, settings_layout::kSize> bytes{};

    std::uint8_t family() const { return bytes[settings_layout::kFamily]; }
    std::uint8_t type() const { return bytes[settings_layout::kType]; }
    std::uint16_t build() const { return getU16BE(&bytes[settings_layout::kBuild]); }
    std::uint8_t flags() const { return bytes[settings_layout::kFlags]; }
    void setFamily(std::uint8_t v) { bytes[settings_layout::kFamily] = v; }
    void setType(std::uint8_t v) { bytes[settings_layout::kType] = v; }
    void setBuild(std::uint16_t v) { putU16BE(&bytes[settings_layout::kBuild], v); }
    void setFlags(std::uint8_t v) { bytes[settings_layout::kFlags] = v; }

    // Profile 0 or 1 (shown to the user as Profile 1 and Profile 2).
    std::uint8_t* profile(int index) {
        return &bytes[index == 0 ? settings_layout::kProfile1 : settings_layout::kProfile2];
    }
    const std::uint8_t* profile(int index) const {
        return &bytes[index == 0 ? settings_layout::kProfile1 : settings_layout::kProfile2];
    }
};

// The first 5 bytes of the settings area: family, type, build, flags.
struct SettingsHeader {
    std::uint8_t family = 0;
    std::uint8_t type = 0;
    std::uint16_t build = 0;
    std::uint8_t flags = 0;

    static SettingsHeader of(const SettingsRecord& r) { return {r.family(), r.type(), r.build(), r.flags()}; }
};

// The JL16/AW32 frequency and status-text block that lives beside the settings.
namespace radio_layout {
inline constexpr std::size_t kSize = 154;
inline constexpr std::size_t kStatusButton = 0;  // 2: show the status-text button
inline constexpr std::size_t kByte1 = 1;
inline constexpr std::size_t kFrequencies = 2;  // 8 channels of 4 bytes
inline constexpr std::size_t kFrequencyCount = 8;
inline constexpr std::size_t kStatusTexts = 34;  // 3 texts of 40 bytes
inline constexpr std::size_t kStatusTextCount = 3;
inline constexpr std::size_t kStatusTextSize = 40;
inline constexpr std::uint32_t kDeviceAddress = 0xFA00;
}  // namespace radio_layout

struct RadioBlock {
    std::array<std::uint8_t, radio_layout::kSize> bytes{};
};

// The 512-byte script area, holding the on-board program.
struct ScriptArea {
    std::array<std::uint8_t, 512> bytes{};
};

}  // namespace varnel
