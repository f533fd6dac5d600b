#include "config/settings_packing.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "config/settings_area_layout.h"
#include "config/weather_record.h"

namespace varnel {
namespace {

// The table only names addresses inside the 256 KiB image; the check keeps a
// corrupted target from reaching past it.
bool fitsImage(const FlashImage& image, std::uint64_t address, std::uint64_t length) {
    return address + length <= image.bytes.size();
}

void markTouched(FlashImage& image, std::uint64_t address, std::uint64_t length) {
    const std::uint64_t end = std::min<std::uint64_t>(address + length, image.touched.size());
    for (std::uint64_t a = address; a < end; ++a) image.touched[a] = kTouchedData;
}

// Header bytes a firmware change keeps from the new image: family, type, build.
constexpr std::size_t kKeptHeaderBytes = 4;

}  // namespace

void unpackSettings(const FlashImage& image, const DeviceTarget& target, WorkingRecords records) {
    for (const auto& copy : settings_area_layout::copiesFor(target.kind)) {
        const std::uint64_t from = std::uint64_t{target.settingsAddress} + copy.areaOffset;
        if (!fitsImage(image, from, copy.length)) continue;
        std::memcpy(&records.settings.bytes[copy.recordOffset], &image.bytes[from], copy.length);
    }
    if (settings_area_layout::hasRadioBlock(target.kind)) {
        std::memcpy(records.radio.bytes.data(), &image.bytes[settings_area_layout::kJL16RadioBlockAddress],
                    records.radio.bytes.size());
    }
    // A chip name with no table row keeps the previous kind but no script
    // address; address 0 is not a script, so nothing is read from there.
    if (target.hasScript() && fitsImage(image, target.scriptAddress, kScriptAreaSize)) {
        std::memcpy(records.script.bytes.data(), &image.bytes[target.scriptAddress], kScriptAreaSize);
    }
}

void packSettings(FlashImage& image, const DeviceTarget& target, WorkingRecords records) {
    for (const auto& copy : settings_area_layout::copiesFor(target.kind)) {
        const std::uint64_t to = std::uint64_t{target.settingsAddress} + copy.areaOffset;
        if (!fitsImage(image, to, copy.length)) continue;
        std::memcpy(&image.bytes[to], &records.settings.bytes[copy.recordOffset], copy.length);
    }
    if (settings_area_layout::hasRadioBlock(target.kind)) {
        std::memcpy(&image.bytes[settings_area_layout::kJL16RadioBlockAddress], records.radio.bytes.data(),
                    records.radio.bytes.size());
    }
    if (target.hasScript() && fitsImage(image, target.scriptAddress, kScriptAreaSize)) {
        std::memcpy(&image.bytes[target.scriptAddress], records.script.bytes.data(), kScriptAreaSize);
        markTouched(image, target.scriptAddress, kScriptAreaSize);
    }
    // The whole settings area is written, including the bytes that belong to
    // no record: they go out as the image holds them.
    markTouched(image, target.settingsAddress, target.settingsSize);
}

namespace {

// True when the image's settings area starts with a header the new firmware
// brought (its loader touched all 4 bytes); a file with no settings block
// leaves them erased, and a tracker with an erased header is not recognised.
bool imageBringsHeader(const FlashImage& image, const DeviceTarget& target) {
    if (!fitsImage(image, target.settingsAddress, kKeptHeaderBytes)) return false;
    for (std::size_t i = 0; i < kKeptHeaderBytes; ++i)
        if (image.touched[target.settingsAddress + i] == kUntouched) return false;
    return true;
}

// Runs `pack` and puts the image's first 4 header bytes back afterwards,
// when the image brought them; otherwise the header packed from the working
// record (the tracker's, as read) stays.
template <class Pack>
void keepingHeader(FlashImage& image, const DeviceTarget& target, Pack pack) {
    std::array<std::uint8_t, kKeptHeaderBytes> kept{};
    const bool keep = imageBringsHeader(image, target);
    if (keep) std::memcpy(kept.data(), &image.bytes[target.settingsAddress], kKeptHeaderBytes);
    pack();
    if (keep) std::memcpy(&image.bytes[target.settingsAddress], kept.data(), kKeptHeaderBytes);
}

}  // namespace

void packSettingsKeepingHeader(FlashImage& image, const DeviceTarget& target, WorkingRecords records) {
    keepingHeader(image, target, [&] { packSettings(image, target, records); });
}

void unpackWeatherSettings(const FlashImage& image, const DeviceTarget& target, SettingsRecord& settings) {
    constexpr std::size_t n = weather_layout::kSettingsBlockSize;
    if (!fitsImage(image, target.settingsAddress, n)) return;
    std::memcpy(settings.bytes.data(), &image.bytes[target.settingsAddress], n);
}

void packWeatherSettings(FlashImage& image, const DeviceTarget& target, const SettingsRecord& settings) {
    constexpr std::size_t n = weather_layout::kSettingsBlockSize;
    if (!fitsImage(image, target.settingsAddress, n)) return;
    std::memcpy(&image.bytes[target.settingsAddress], settings.bytes.data(), n);
    markTouched(image, target.settingsAddress, n);
}

void packWeatherSettingsKeepingHeader(FlashImage& image, const DeviceTarget& target, const SettingsRecord& settings) {
    keepingHeader(image, target, [&] { packWeatherSettings(image, target, settings); });
}

}  // namespace varnel
