#pragma once

#include "config/device_target.h"
#include "config/settings_record.h"
#include "device/flash_image.h"

namespace varnel {

// The working records a device's settings and script areas unpack into.
struct WorkingRecords {
    SettingsRecord& settings;
    RadioBlock& radio;
    ScriptArea& script;
};

// Image -> working records, by the target's kind. The touched map is not changed.
void unpackSettings(const FlashImage& image, const DeviceTarget& target, WorkingRecords records);

// Working records -> image, then marks the script area (kinds with one) and
// settingsSize bytes from the settings address as data to write.
void packSettings(FlashImage& image, const DeviceTarget& target, WorkingRecords records);

// packSettings that keeps the image's own first 4 header bytes (family, type,
// build): used when new firmware is written with the current configuration.
// An image that brought no header of its own (its settings area untouched)
// gets the working record's, which is the tracker's: every way of loading
// firmware with kept settings decides this here.
void packSettingsKeepingHeader(FlashImage& image, const DeviceTarget& target, WorkingRecords records);

// The weather-station firmware keeps its settings as one flat block at the
// settings address (the header, its record and the bytes after it), on every
// chip, instead of the tracker's per-kind layout.
void unpackWeatherSettings(const FlashImage& image, const DeviceTarget& target, SettingsRecord& settings);
// Record -> image, and marks exactly those bytes as data to write.
void packWeatherSettings(FlashImage& image, const DeviceTarget& target, const SettingsRecord& settings);
// The same, keeping the image's own family, type and build (new firmware).
void packWeatherSettingsKeepingHeader(FlashImage& image, const DeviceTarget& target, const SettingsRecord& settings);

}  // namespace varnel
