#include "emulator/default_settings.h"

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
const std::vector<std::uint8_t> kDefaultScript{
    0x80, 0x5A, 0x07, 'V', 'a', 'r', 'n', 'e', 'l', 0x00, 0x00,  // On Startup, PrintA, End Block
    0x81, 0x15, 0x00,                                            // On Second, Increment Counter 1
    0xBE, 0x00, 0x00, 0x3C,                                      // If Counter 1 > 60
    0x3C, 0x00, 0x00, 0x00,                                      // Set Counter 1 = 0
    0x00, 0x00,                                                  // End Block, End Block
    0xFF};

void putText(std::uint8_t* p, const char* text) { std::memcpy(p, text, std::strlen(text)); }

void fillProfile(std::uint8_t* p, const EmulatedChip& chip, const char* callsign,
                 std::uint16_t interval, std::uint8_t reportFlags, const char* text) {
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
}

}  // namespace

void writeDefaultSettings(FlashMemory& flash, const EmulatedChip& chip) {
    const TargetTableEntry* target = findTarget(chip.chipName);
    if (!target) return;

    SettingsRecord record;
    record.setFamily(kFamilyTracker);
    record.setType(kDefaultType);
    record.setBuild(kDefaultBuild);
    fillProfile(record.profile(0), chip, "N0CALL-9", 180,
                kReportSmartBeaconing | kReportAltitude | kReportCourseSpeed, "Varnel tracker");
    fillProfile(record.profile(1), chip, "N0CALL-7", 600, kReportAltitude,
                "Varnel tracker, parked");

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
        RadioBlock radio;  // no channels, no status texts
        place(radio_layout::kDeviceAddress - target->settingsAddress, radio.bytes.data(),
              radio.bytes.size());
        break;
    }
    default:
        place(0, record.bytes.data(), record.bytes.size());
        break;
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
