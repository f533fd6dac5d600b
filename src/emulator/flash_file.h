#pragma once

#include <string>

#include "emulator/model/flash_memory.h"

namespace varnel {

// Initial flash contents for the emulator: a Motorola S-record file (".s19",
// ".s28", ".s37", ".srec"), the host's firmware export (".bin" with its
// 128-byte header) or a raw image starting at address 0. False with a reason.
bool loadFlashFile(const std::string& path, FlashMemory& flash, std::string& error);

// The whole 256 KiB array as a raw image.
bool saveFlashFile(const std::string& path, const FlashMemory& flash, std::string& error);

}  // namespace varnel
