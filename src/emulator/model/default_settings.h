#pragma once

#include "emulator/model/emulated_chip.h"
#include "emulator/model/flash_memory.h"

namespace varnel {

// Puts a believable factory configuration into a fresh board's flash: tracker
// firmware family 0, two profiles for N0CALL over WIDE1-1,WIDE2-1 with the
// car symbol, and on chips with a script area a small script.
void writeDefaultSettings(FlashMemory& flash, const EmulatedChip& chip);

// The same for a board running the weather-station firmware: settings family
// 1, whose one record (a station N0CALL-13 over WIDE2-1 with its position,
// comment and wind thresholds) sits in a flat 255-byte block on every chip.
void writeDefaultWeatherSettings(FlashMemory& flash, const EmulatedChip& chip);

}  // namespace varnel
