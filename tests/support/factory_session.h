#pragma once

#include <algorithm>
#include <string>

#include "config/device_target.h"
#include "config/settings_packing.h"
#include "emulator/model/default_settings.h"
#include "emulator/model/emulated_chip.h"
#include "emulator/model/flash_memory.h"
#include "session/session.h"

namespace varnel::test {

// A session holding what a fresh tracker (or weather station) of this chip
// holds, as the dialog loop reads it: the emulated tracker's factory flash.
inline Session factorySession(const std::string& chip, bool weather = false) {
    Session s;
    selectTarget(s.target, chip);
    s.link.deviceInfo.deviceId = chip;
    FlashMemory flash;
    const EmulatedChip* board = findEmulatedChip(chip);
    if (weather) writeDefaultWeatherSettings(flash, *board);
    else writeDefaultSettings(flash, *board);
    std::copy(flash.cells().begin(), flash.cells().end(), s.image.bytes.begin());
    if (weather) unpackWeatherSettings(s.image, s.target, s.settings);
    else unpackSettings(s.image, s.target, {s.settings, s.radio, s.script});
    return s;
}

}  // namespace varnel::test
