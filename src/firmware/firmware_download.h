#pragma once

#include <cstddef>
#include <string>

#include "device/flash_image.h"

namespace varnel {

class HttpClient;
class UserInterface;

// A firmware file for the largest chip is well under a megabyte of S-records.
inline constexpr std::size_t kMaxFirmwareDownload = 4 * 1024 * 1024;

// Downloads an S-record file from the mirror server into the image, with the
// download's rules (every record below 0x10000). 0 when the firmware is in
// the image; -1 after "Unable to download firmware file" or the parser's own
// message. The image is reset only once the server has answered 200.
int downloadFirmware(HttpClient& http, const std::string& server, const std::string& path, FlashImage& image,
                     UserInterface& ui);

}  // namespace varnel
