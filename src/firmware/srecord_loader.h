#pragma once

#include <string>

#include "firmware/flash_image.h"

namespace varnel {

class UserInterface;

// Fills the image from a Motorola S-record file ("" reads standard input).
// 0 on success; -1 after telling the user (an unopenable file goes to stderr
// as "Can't open input file %s\n"). The image keeps what was stored before a
// failure; callers add their own "Error loading firmware file".
int loadSRecordFile(const std::string& path, FlashImage& image, UserInterface& ui);

}  // namespace varnel
