#include "emulator/model/default_settings.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "config/ax25_codec.h"
#include "config/profile_layout.h"
#include "config/settings_record.h"
#include "config/weather_record.h"

namespace varnel {

namespace {

constexpr std::uint8_t kReportSmartBeaconing = 0x80;
constexpr std::uint8_t kReportAltitude = 0x40;
constexpr std::uint8_t kReportCourseSpeed = 0x20;
constexpr std::uint8_t kOptionReportVoltage = 0x40;
constexpr std::uint8_t kSourceSsidFixedBit = 0x80;
constexpr std::uint8_t kPortA4800 = 0x13;
constexpr std::uint8_t kPortB4800 = 0x15;

constexpr std::uint8_t kDefaultType = 1;
constexpr std::uint16_t kDefaultBuild = 412;

// Per-kind device layout of the settings area: how much of each profile the
// chip stores and where profile 2 starts.
constexpr std::size_t kHeaderBytes = settings_layout::kHeaderSize;
constexpr std::size_t kProfileBytesKX8 = 125;
constexpr std::size_t kProfileBytesJL16 = 189;

// "On Startup: PrintA "Varnel" / On Second: Increment Counter 1 / If Counter 1
// > 60: Set Counter 1 = 0", 0xFF-terminated and 0xFF-filled.
const std::vector<std::uint8_t> kDefaultScript{0x80, 0x5A, 0x07, 'V',  'a',  'r',
                                               'n',  'e',  'l',  0x00, 0x00,  // On Startup, PrintA, End Block
                                               0x81, 0x15, 0x00,              // On Second, Increment Counter 1
                                               0xBE, 0x00, 0x00, 0x3C,        // If Counter 1 > 60
                                               0x3C, 0x00, 0x00, 0x00,        // Set Counter 1 = 0
                                               0x00, 0x00,                    // End Block, End Block
                                               0xFF};

// The tracker's text fields are fixed width and padded, not NUL-terminated: only the characters go in.
void putText(std::uint8_t* p, const char* text) { std::copy_n(text, std::strlen(text), p); }

void fillProfile(std::uint8_t* p, const EmulatedChip& chip, const char* callsign, std::uint16_t interval,
                 std::uint8_t reportFlags, const char* text) {
    using namespace profile_layout;
    p[kTxDelay] = 30;  // 198 ms
    putU16BE(p + kBeaconInterval, interval);
    p[kReportFlags] = reportFlags;
    p[kOptionFlags] = kOptionReportVoltage;
    AddressField source{};
    encodeAddress(callsign, source);
    std::memcpy(p + kSourceAddress, source.data(), source.size());
    p[kSourceSsid] |= kSourceSsidFixedBit;
    std::vector<std::uint8_t> path;
    const int pathBytes = encodePath("WIDE1-1,WIDE2-1", path);
    if (pathBytes > 0) {
        std::memcpy(p + kPath, path.data(), path.size());
        p[kPathLength] = static_cast<std::uint8_t>(pathBytes);
    }
    p[kSymbolTable] = '/';
    p[kSymbolCode] = '>';
    putU16BE(p + kSlowInterval, 1800);
    p[kLowSpeed] = 7;    // 5 MPH
    p[kHighSpeed] = 84;  // 60 MPH
    p[kAudioLevel] = 128;
    p[kTurnAngle] = 28;
    p[kTurnInterval] = 15;
    p[kEveryCounts] = 0x05;  // status text every 5th transmission
    p[kTextLength] = static_cast<std::uint8_t>(std::strlen(text));
    putText(p + kText, text);
    const bool kx8 = chip.kind == KindKX8;
    putText(p + (kx8 ? kFixedLatitudeKX8 : kFixedLatitude), "4736.25N");
    putText(p + (kx8 ? kFixedLongitudeKX8 : kFixedLongitude), "12219.50W");
    if (!kx8) {
        p[kPortASpeed] = kPortA4800;
        p[kPortBSpeed] = kPortB4800;
    }
    p[kDigiDupeTime] = 30;
    p[kChannelSelect] = 0x10;  // channel 1, channel 2 as the secondary
}

// A parked tracker digipeats; a moving one only beacons. Profile 1 hands
// over to profile 2 when it slows to 5 km/h and profile 2 back above 10 km/h.
void fillSwitching(std::uint8_t* moving, std::uint8_t* parked) {
    using namespace profile_layout;
    constexpr std::uint8_t kSpeedCondition = 0x20;  // enable bit, and "<=" in the comparison byte
    moving[kSwitchEnable] = kSpeedCondition;
    moving[kSwitchCompare] = kSpeedCondition;
    moving[kSwitchSpeed] = 4;  // 5 km/h
    parked[kSwitchEnable] = kSpeedCondition;
    parked[kSwitchSpeed] = 9;  // 10 km/h
    moving[kOptionFlags] |= kOptionSwitchTransmit;
    parked[kOptionFlags] |= kOptionSwitchTransmit;
    parked[kFeatureFlags] |= kFeatureDigipeating;
    parked[kDigiAliasBits] = 0x03;  // WIDE1 and WIDE2
}

// The shared digipeater aliases: WIDE1 for one hop, WIDE2 for two; and one
// station allowed remote access.
void fillSharedTables(SettingsRecord& record) {
    const std::pair<const char*, std::uint8_t> aliases[] = {{"WIDE1", 1}, {"WIDE2", 2}};
    std::uint8_t* entry = &record.bytes[settings_layout::kDigipeaterAliases];
    for (const auto& [alias, hops] : aliases) {
        AddressField field{};
        encodeAddress(alias, field);
        std::memcpy(entry, field.data(), 6);
        entry[6] = hops;
        entry += settings_layout::kDigipeaterAliasSize;
    }
    for (int i = 2; i < 8; ++i, entry += settings_layout::kDigipeaterAliasSize) std::memset(entry, 0x40, 6);
    putText(&record.bytes[settings_layout::kAccessList], "N0CALL");
}

// The JL16's radio: the APRS frequencies of several regions and three
// status texts.
RadioBlock defaultRadio() {
    RadioBlock radio;
    radio.bytes[radio_layout::kStatusButton] = 2;
    const std::uint32_t hz[] = {144390000, 144800000, 145175000, 144575000, 144640000, 144660000, 145570000, 144930000};
    for (std::size_t k = 0; k < radio_layout::kFrequencyCount; ++k)
        putU32BE(&radio.bytes[radio_layout::kFrequencies + 4 * k], hz[k]);
    const char* texts[] = {"On the road", "Parked, monitoring 146.52", "Varnel tracker test"};
    for (std::size_t n = 0; n < radio_layout::kStatusTextCount; ++n)
        putText(&radio.bytes[radio_layout::kStatusTexts + radio_layout::kStatusTextSize * n], texts[n]);
    return radio;
}

}  // namespace

void writeDefaultSettings(FlashMemory& flash, const EmulatedChip& chip) {
    const TargetTableEntry* target = findTarget(chip.chipName);
    if (!target) return;

    SettingsRecord record;
    record.setFamily(kFamilyTracker);
    record.setType(kDefaultType);
    record.setBuild(kDefaultBuild);
    fillProfile(record.profile(0), chip, "N0CALL-9", 180, kReportSmartBeaconing | kReportAltitude | kReportCourseSpeed,
                "Varnel tracker");
    fillProfile(record.profile(1), chip, "N0CALL-7", 600, kReportAltitude, "Varnel tracker, parked");
    fillSwitching(record.profile(0), record.profile(1));
    fillSharedTables(record);
    // JL16 firmware offers its frequency window.
    if (chip.kind == KindJL16) record.setFlags(settings_layout::kFlagShowFreqButton);

    // The settings area is erased flash before the record goes in, so bytes
    // the layout does not use read 0xFF as on a real board.
    std::vector<std::uint8_t> area(target->settingsSize, FlashMemory::kErased);
    auto place = [&](std::size_t at, const std::uint8_t* from, std::size_t n) {
        std::memcpy(area.data() + at, from, n);
    };
    switch (chip.kind) {
    case KindKX8:
        place(0, record.bytes.data(), kHeaderBytes);
        place(kHeaderBytes, record.profile(0), kProfileBytesKX8);
        place(kHeaderBytes + kProfileBytesKX8, record.profile(1), kProfileBytesKX8);
        break;
    case KindJL16: {
        place(0, record.bytes.data(), kHeaderBytes);
        place(kHeaderBytes, record.profile(0), kProfileBytesJL16);
        place(kHeaderBytes + kProfileBytesJL16, record.profile(1), kProfileBytesJL16);
        const RadioBlock radio = defaultRadio();
        place(radio_layout::kDeviceAddress - target->settingsAddress, radio.bytes.data(), radio.bytes.size());
        break;
    }
    default: place(0, record.bytes.data(), record.bytes.size()); break;
    }
    flash.load(target->settingsAddress, area.data(), area.size());

    if (target->scriptAddress != 0) {
        std::vector<std::uint8_t> script(kScriptAreaSize, FlashMemory::kErased);
        std::memcpy(script.data(), kDefaultScript.data(), kDefaultScript.size());
        flash.load(target->scriptAddress, script.data(), script.size());
    }
}

void writeDefaultWeatherSettings(FlashMemory& flash, const EmulatedChip& chip) {
    const TargetTableEntry* target = findTarget(chip.chipName);
    if (!target) return;

    SettingsRecord record;
    record.setFamily(kFamilyWeather);
    record.setType(kDefaultType);
    record.setBuild(kDefaultBuild);
    const WeatherRecord r(record.profile(0));
    r.setTxDelaySteps(50);  // 200 ms
    r.setTransmitInterval(600);
    r.setPowerDelay(2);
    r.markStored();
    AddressField source{};
    encodeAddress("N0CALL-13", source);
    std::copy(source.begin(), source.end(), r.sourceAddress());
    r.setFlag(weather_layout::kSourceSsid, weather_layout::kSsidAlwaysSet, true);
    std::vector<std::uint8_t> path;
    r.setPathLength(static_cast<std::uint8_t>(encodePath("WIDE2-1", path)));
    std::copy(path.begin(), path.end(), r.path());
    r.setComment("Varnel weather station");
    r.setStatusEvery(10);
    r.setTransmitOnWindChange(true);
    r.setMinimumInterval(120);
    r.setSpeedThreshold(10);
    r.setDirectionThreshold(45);
    r.setMinimumSpeed(5);
    r.setQuietTime(10);
    r.setAudioLevel(128);
    r.setLatitude("4736.25N");
    r.setLongitude("12219.50W");

    // Erased flash around the block, and no script: the weather firmware
    // keeps none.
    std::vector<std::uint8_t> area(target->settingsSize, FlashMemory::kErased);
    std::memcpy(area.data(), record.bytes.data(), weather_layout::kSettingsBlockSize);
    flash.load(target->settingsAddress, area.data(), area.size());
}

}  // namespace varnel
