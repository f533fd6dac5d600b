#pragma once

#include "config/device_target.h"
#include "firmware/flash_image.h"
#include "link/device_info.h"

namespace varnel {

class UserInterface;

// 0 when no byte marked as loaded (1) lies outside the chip's programmable
// range; -1 after "Invalid address: %04x (valid range %04x to %04x)".
int validateImageAddresses(const FlashImage& image, const DeviceInfo& info, TargetKind kind,
                           UserInterface& ui);

}  // namespace varnel
