#pragma once

#include "emulator/emulated_chip.h"
#include "emulator/flash_memory.h"

namespace varnel {

// Puts a believable factory configuration into a fresh board's flash: tracker
// firmware family 0, two profiles for N0CALL over WIDE1-1,WIDE2-1 with the
// car symbol, and on chips with a script area a small script.
void writeDefaultSettings(FlashMemory& flash, const EmulatedChip& chip);

}  // namespace varnel
